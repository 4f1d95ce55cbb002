// download_resource against a real server on 127.0.0.1.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/posix_platform.h"
#include "tests/support/http_server.h"
#include "tests/support/raw_server.h"

namespace zembrik {
namespace {

using namespace std::string_literals;

Bytes bytes_of(std::string_view s) {
  return Bytes(s.begin(), s.end());
}

class Download : public testing::Test {
protected:
  Bytes download(const std::string& address) {
    return downloader_.download_resource(Text(address));
  }

  posix::CurlDownloader downloader_;
  std::atomic<int> counted_calls_{0};
  std::atomic<int> uncached_calls_{0};
  test::HttpServer server_{[this](httplib::Server& s) {
    s.Get("/icon.gif", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("GIF89a\0\x01\xff\0"s, "image/gif");
    });
    s.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("not here", "text/html");
    });
    s.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
      res.status = 500;
      res.set_content("server error page", "text/html");
    });
    s.Get("/moved", [](const httplib::Request&, httplib::Response& res) {
      res.status = 302;
      res.set_header("Location", "/icon.gif");
    });
    s.Get("/counter", [this](const httplib::Request& req, httplib::Response& res) {
      const int n = ++counted_calls_;
      if (req.get_header_value("Cache-Control") == "no-cache" &&
          req.get_header_value("Pragma") == "no-cache") {
        ++uncached_calls_;
      }
      res.set_header("Cache-Control", "max-age=3600");
      res.set_content("call " + std::to_string(n), "text/plain");
    });
    s.Get(R"(/echo/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content("echo " + req.matches[1].str(), "text/plain");
    });
  }};
};

TEST_F(Download, ReturnsTheWholeBodyWhateverTheStatus) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"/icon.gif", "GIF89a\0\x01\xff\0"s},
      {"/missing", "not here"},
      {"/broken", "server error page"},
      {"/moved", "GIF89a\0\x01\xff\0"s},
  };
  for (const auto& [path, body] : cases) {
    SCOPED_TRACE(path);
    EXPECT_EQ(download(server_.url(path)), bytes_of(body));
  }
}

TEST_F(Download, ReadsFromTheServerOnEveryCall) {
  EXPECT_EQ(download(server_.url("/counter")), bytes_of("call 1"));
  EXPECT_EQ(download(server_.url("/counter")), bytes_of("call 2"));
  EXPECT_EQ(uncached_calls_, 2) << "both requests should ask caches along the way not to answer";
}

TEST_F(Download, GivesEmptyBytesWhenNothingCanBeRead) {
  const std::vector<std::string> addresses = {
      "http://127.0.0.1:" + std::to_string(test::closed_port()) + "/icon.gif",
      "not an address",
      "",
      "ftp://127.0.0.1:" + std::to_string(server_.port()) + "/icon.gif",
  };
  for (const auto& address : addresses) {
    SCOPED_TRACE(address);
    EXPECT_TRUE(download(address).empty());
  }
}

TEST_F(Download, CallsFromSeveralThreadsEachGetTheirOwnBody) {
  constexpr int kThreads = 4;
  constexpr int kEach = 8;
  std::vector<std::vector<Bytes>> results(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        results[t].push_back(download(server_.url("/echo/" + std::to_string(t * kEach + i))));
      }
    });
  }
  for (auto& thread : threads)
    thread.join();
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kEach; ++i) {
      EXPECT_EQ(results[t][i], bytes_of("echo " + std::to_string(t * kEach + i)));
    }
  }
}

} // namespace
} // namespace zembrik
