// The WinHttpRequest stand-in against real servers on 127.0.0.1: the exact bytes it sends, what
// it gives back, and how it fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/http_redirect.h"
#include "platform/posix/posix_platform.h"
#include "tests/support/http_server.h"
#include "tests/support/raw_server.h"
#include "text/text.h"

namespace zembrik {
namespace {

using automation::ObjectRef;
using automation::Value;
using test::HttpServer;
using test::RawConnection;
using test::RawServer;
using namespace std::string_literals;

// Short enough for failing cases to end quickly, long enough for a loaded machine.
constexpr int kTestTimeoutMs = 3000;

Value u16(std::string_view utf8) {
  return Value(utf8_to_utf16(utf8));
}

Bytes bytes_of(std::string_view s) {
  return Bytes(s.begin(), s.end());
}

ObjectRef opened(const std::string& url, int receive_ms = kTestTimeoutMs) {
  auto request = posix::make_winhttp_request();
  EXPECT_TRUE(
      request->call("SetTimeouts", {kTestTimeoutMs, kTestTimeoutMs, kTestTimeoutMs, receive_ms}));
  EXPECT_TRUE(request->call("Open", {u16("GET"), u16(url), false}));
  return request;
}

// The body of a GET, nullopt when Send fails.
std::optional<Bytes> fetch(const std::string& url, int receive_ms = kTestTimeoutMs) {
  auto request = opened(url, receive_ms);
  if (!request->call("Send", {u16("")})) {
    EXPECT_FALSE(request->get("ResponseBody"));
    return std::nullopt;
  }
  auto body = request->get("ResponseBody");
  if (!body || !body->bytes()) {
    ADD_FAILURE() << "Send succeeded but ResponseBody gave no bytes";
    return std::nullopt;
  }
  return *body->bytes();
}

// A server that answers every request with `response` and closes.
RawServer answering(std::string response) {
  return RawServer([response = std::move(response)](RawConnection& c) {
    c.read_request();
    c.send(response);
  });
}

std::string with_length(std::string_view status_line, std::string_view body,
                        std::string_view extra_headers = "") {
  return std::string(status_line) + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
         std::string(extra_headers) + "\r\n" + std::string(body);
}

// A request head: the lines, each ended by CR LF, and the blank line.
std::string head(const std::vector<std::string>& lines) {
  std::string block;
  for (const auto& line : lines)
    block += line + "\r\n";
  return block + "\r\n";
}

TEST(WinHttpRequest, SendsTheProgramsHeadersExactly) {
  RawServer server = answering(with_length("HTTP/1.1 200 OK", "page"));
  const std::string address = server.url("/member/user_profile.jhtml?user_id=ab%20%D6%D0");
  auto request = opened(address);
  // Each value keeps the blank that followed the colon in the program's header block.
  const std::vector<std::pair<std::string, std::string>> headers = {
      {"Referer", " " + address},
      {"Accept", " */*"},
      {"Accept-Language", " zh-cn"},
      {"User-Agent", " Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)"},
      {"Content-Type", " application/x-www-form-urlencoded"},
  };
  for (const auto& [name, value] : headers) {
    ASSERT_TRUE(request->call("SetRequestHeader", {u16(name), u16(value)}));
  }
  ASSERT_TRUE(request->call("Send", {u16("")}));

  const auto body = request->get("ResponseBody");
  ASSERT_TRUE(body && body->bytes());
  EXPECT_EQ(*body->bytes(), bytes_of("page"));
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0],
            head({"GET /member/user_profile.jhtml?user_id=ab%20%D6%D0 HTTP/1.1",
                  "Host: 127.0.0.1:" + std::to_string(server.port()), "Referer: " + address,
                  "Accept: */*", "Accept-Language: zh-cn",
                  "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)",
                  "Content-Type: application/x-www-form-urlencoded"}));
}

TEST(WinHttpRequest, SendsNoHeaderOfItsOwnBeyondHost) {
  RawServer server = answering(with_length("HTTP/1.1 200 OK", ""));
  ASSERT_TRUE(fetch(server.url("/plain")));
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0],
            head({"GET /plain HTTP/1.1", "Host: 127.0.0.1:" + std::to_string(server.port())}));
}

TEST(WinHttpRequest, SettingAHeaderAgainReplacesItAndAnEmptyValueRemovesIt) {
  RawServer server = answering(with_length("HTTP/1.1 200 OK", ""));
  auto request = opened(server.url("/h"));
  for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
           {"X-One", "1"}, {"X-Two", "2"}, {"X-Three", "3"}, {"x-one", "  uno"}, {"X-TWO", ""}}) {
    ASSERT_TRUE(request->call("SetRequestHeader", {u16(name), u16(value)}));
  }
  ASSERT_TRUE(request->call("Send"));
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0],
            head({"GET /h HTTP/1.1", "Host: 127.0.0.1:" + std::to_string(server.port()),
                  "X-One: uno", "X-Three: 3"}));
}

TEST(WinHttpRequest, NonAsciiAddressCharactersGoAsUtf8Escapes) {
  struct Case {
    std::u16string path;
    std::string request_target;
  };
  const std::vector<Case> cases = {
      {u"/\u4e2d\u6587?q=\u00e9", "/%E4%B8%AD%E6%96%87?q=%C3%A9"},
      {u"/already%20escaped%D6%D0", "/already%20escaped%D6%D0"},
      {u"/\U0001F600", "/%F0%9F%98%80"},
      {std::u16string(u"/") + char16_t(0xD800) + u"x", "/%EF%BF%BDx"}, // a lone surrogate
  };
  for (const auto& c : cases) {
    RawServer server = answering(with_length("HTTP/1.1 200 OK", ""));
    auto request = posix::make_winhttp_request();
    ASSERT_TRUE(
        request->call("Open", {u16("GET"), Value(utf8_to_utf16(server.url("")) + c.path), false}));
    ASSERT_TRUE(request->call("Send"));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(test::request_line(requests[0]), "GET " + c.request_target + " HTTP/1.1");
  }
}

TEST(WinHttpRequest, ReturnsTheBodyBytesWhateverTheStatusAndFraming) {
  const std::string binary = "<p>\0a\xff\xd6\xd0\0\0z</p>"s;
  struct Case {
    std::string name;
    std::string response;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"200 with NUL bytes", with_length("HTTP/1.1 200 OK", binary), binary},
      {"404 page", with_length("HTTP/1.1 404 Not Found", "<h1>404</h1>"), "<h1>404</h1>"},
      {"500 page", with_length("HTTP/1.1 500 Internal Server Error", "oops"), "oops"},
      {"empty", with_length("HTTP/1.1 200 OK", ""), ""},
      {"chunked",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n4\r\n\0de\xff\r\n0\r\n\r\n"s,
       "abc\0de\xff"s},
      {"ended by close", "HTTP/1.0 200 OK\r\n\r\nuntil the end", "until the end"},
      {"gzip stays compressed",
       with_length("HTTP/1.1 200 OK",
                   "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xcb\x48\xcd\xc9\xc9\xd7\x51\x48\xaf"
                   "\xca\x2c\x00\x00\x4a\x9b\xb1\x5c\x0b\x00\x00\x00"s,
                   "Content-Encoding: gzip\r\n"),
       "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\xcb\x48\xcd\xc9\xc9\xd7\x51\x48\xaf"
       "\xca\x2c\x00\x00\x4a\x9b\xb1\x5c\x0b\x00\x00\x00"s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RawServer server = answering(c.response);
    const auto body = fetch(server.url("/"));
    ASSERT_TRUE(body);
    EXPECT_EQ(*body, bytes_of(c.body));
  }
}

TEST(WinHttpRequest, StatusIsReadable) {
  RawServer server = answering(with_length("HTTP/1.1 404 Not Found", "x"));
  auto request = opened(server.url("/"));
  ASSERT_TRUE(request->call("Send"));
  const auto status = request->get("Status");
  ASSERT_TRUE(status && status->number());
  EXPECT_EQ(*status->number(), 404);
  const auto text = request->get("StatusText");
  ASSERT_TRUE(text && text->text());
  EXPECT_EQ(*text->text(), u"Not Found");
}

TEST(WinHttpRequest, FailsWhenTheConnectionIsRefused) {
  EXPECT_FALSE(fetch("http://127.0.0.1:" + std::to_string(test::closed_port()) + "/"));
}

TEST(WinHttpRequest, BrokenTransfersFail) {
  struct Case {
    std::string name;
    RawServer::Handler handler;
  };
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n";
  const std::vector<Case> cases = {
      {"reset mid-body",
       [&](RawConnection& c) {
         c.read_request();
         c.send(head + std::string(100, 'x'));
         c.reset();
       }},
      {"closed before the announced length",
       [&](RawConnection& c) {
         c.read_request();
         c.send(head + std::string(100, 'x'));
       }},
      {"reset before answering",
       [](RawConnection& c) {
         c.read_request();
         c.reset();
       }},
      {"closed without answering", [](RawConnection& c) { c.read_request(); }},
      {"not HTTP",
       [](RawConnection& c) {
         c.read_request();
         c.send("hello\r\n\r\n");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RawServer server(c.handler);
    EXPECT_FALSE(fetch(server.url("/")));
  }
}

TEST(WinHttpRequest, ReceiveTimeoutLimitsEachWaitForData) {
  constexpr int kReceiveMs = 300;
  struct Case {
    std::string name;
    RawServer::Handler handler;
    bool succeeds;
  };
  const std::vector<Case> cases = {
      {"silent after the request",
       [](RawConnection& c) {
         c.read_request();
         c.wait_until_closed();
       },
       false},
      {"stalls mid-body",
       [](RawConnection& c) {
         c.read_request();
         c.send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");
         c.wait_until_closed();
       },
       false},
      // Longer in total than the time-out, but never silent for that long.
      {"trickles",
       [](RawConnection& c) {
         c.read_request();
         c.send("HTTP/1.1 200 OK\r\nContent-Length: 8\r\n\r\n");
         for (int i = 0; i < 8; ++i) {
           std::this_thread::sleep_for(std::chrono::milliseconds(100));
           c.send("t");
         }
       },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RawServer server(c.handler);
    const auto start = std::chrono::steady_clock::now();
    const auto body = fetch(server.url("/"), kReceiveMs);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(body.has_value(), c.succeeds);
    if (body) {
      EXPECT_EQ(*body, bytes_of("tttttttt"));
    }
    if (!c.succeeds) {
      // Ended by the configured time-out: not before it, and not by the 3 s of the others.
      EXPECT_GE(elapsed, std::chrono::milliseconds(kReceiveMs - 20));
      EXPECT_LT(elapsed, std::chrono::milliseconds(kTestTimeoutMs - 500));
    }
  }
}

TEST(WinHttpRequest, BodyLargerThanTheCapFails) {
  constexpr std::size_t kCap = posix::kMaxBodyBytes;
  struct Case {
    std::string name;
    std::size_t size;
    bool announce_length;
    std::size_t announced;
  };
  const std::vector<Case> cases = {
      {"exactly the cap", kCap, true, kCap},
      {"one byte over, announced", kCap + 1, true, kCap + 1},
      {"one byte over, ended by close", kCap + 1, false, 0},
      {"a gigabyte announced", std::size_t{1} << 30, true, std::size_t{1} << 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RawServer server([&](RawConnection& conn) {
      conn.read_request();
      std::string head = "HTTP/1.1 200 OK\r\n";
      if (c.announce_length) head += "Content-Length: " + std::to_string(c.announced) + "\r\n";
      if (!conn.send(head + "\r\n")) return;
      std::string chunk(1 << 16, '\0');
      for (std::size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>(i % 251);
      // Streams until the client hangs up.
      for (std::size_t sent = 0; sent < c.size; sent += chunk.size()) {
        if (!conn.send(std::string_view(chunk).substr(0, std::min(chunk.size(), c.size - sent))))
          return;
      }
    });
    const auto body = fetch(server.url("/"));
    EXPECT_EQ(body.has_value(), c.size <= kCap);
    if (body) {
      ASSERT_EQ(body->size(), c.size);
      EXPECT_EQ(int{(*body)[(1 << 16) + 300]}, 300 % 251);
      EXPECT_EQ(int{body->back()}, static_cast<int>(((c.size - 1) % (1 << 16)) % 251));
    }
  }
}

// Redirect chains served by cpp-httplib: /hop/N redirects N times before "arrived".
class WinHttpRedirect : public testing::Test {
protected:
  HttpServer server_{[](httplib::Server& s) {
    s.Get(R"(/hop/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
      const int n = std::stoi(req.matches[1].str());
      if (n == 0) {
        res.set_content("arrived", "text/plain");
      } else {
        res.status = 302;
        res.set_header("Location", "/hop/" + std::to_string(n - 1));
      }
    });
    s.Get("/loop", [](const httplib::Request&, httplib::Response& res) {
      res.status = 302;
      res.set_header("Location", "/loop");
    });
    s.Get("/rel/a/b", [](const httplib::Request&, httplib::Response& res) {
      res.status = 301;
      res.set_header("Location", "../c?x=1");
    });
    s.Get("/rel/c", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content("relative " + req.get_param_value("x"), "text/plain");
    });
    s.Get(R"(/status/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
      res.status = std::stoi(req.matches[1].str());
      res.set_header("Location", "/target");
      res.set_content("redirect body", "text/plain");
    });
    s.Get("/target", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("target", "text/plain");
    });
    s.Get("/nolocation", [](const httplib::Request&, httplib::Response& res) {
      res.status = 302;
      res.set_content("stay", "text/plain");
    });
  }};
};

TEST_F(WinHttpRedirect, FollowsAsWinHttpDoes) {
  struct Case {
    std::string path;
    std::optional<std::string> body;
  };
  const std::vector<Case> cases = {
      {"/hop/1", "arrived"},     {"/hop/10", "arrived"},           {"/hop/11", std::nullopt},
      {"/loop", std::nullopt},   {"/rel/a/b", "relative 1"},       {"/status/301", "target"},
      {"/status/302", "target"}, {"/status/303", "target"},        {"/status/307", "target"},
      {"/status/308", "target"}, {"/status/300", "redirect body"}, {"/status/305", "redirect body"},
      {"/nolocation", "stay"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const auto body = fetch(server_.url(c.path));
    ASSERT_EQ(body.has_value(), c.body.has_value());
    if (body) {
      EXPECT_EQ(*body, bytes_of(*c.body));
    }
  }
}

// Each hop repeats the request's own headers, and nothing a response set (a cookie) is added.
TEST(WinHttpRedirectHop, RepeatsTheRequestAndKeepsOrChangesTheMethod) {
  struct Case {
    std::string method;
    int status;
    std::string next_method;
    bool body_kept;
  };
  const std::vector<Case> cases = {
      {"GET", 301, "GET", false},  {"GET", 302, "GET", false},   {"GET", 303, "GET", false},
      {"GET", 307, "GET", false},  {"GET", 308, "GET", false},   {"POST", 301, "GET", false},
      {"POST", 302, "GET", false}, {"POST", 303, "GET", false},  {"POST", 307, "POST", true},
      {"POST", 308, "POST", true}, {"HEAD", 303, "HEAD", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.method + " " + std::to_string(c.status));
    RawServer server([&](RawConnection& conn) {
      const std::string request = conn.read_request();
      if (test::request_line(request).find(" /first ") != std::string::npos) {
        conn.send("HTTP/1.1 " + std::to_string(c.status) +
                  " Moved\r\nLocation: /second\r\nSet-Cookie: s=1\r\nContent-Length: 0\r\n\r\n");
      } else {
        conn.send(with_length("HTTP/1.1 200 OK", ""));
      }
    });
    auto request = posix::make_winhttp_request();
    ASSERT_TRUE(request->call("Open", {u16(c.method), u16(server.url("/first")), false}));
    ASSERT_TRUE(request->call("SetRequestHeader", {u16("X-Test"), u16(" kept")}));
    ASSERT_TRUE(request->call("Send", {u16(c.method == "POST" ? "k=v" : "")}));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    const std::string host = "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n";
    auto expected = [&](const std::string& method, const std::string& path, bool body) {
      return method + " " + path + " HTTP/1.1\r\n" + host +
             "X-Test: kept\r\n" +
             (body ? "Content-Length: 3\r\n\r\nk=v" : "\r\n");
    };
    EXPECT_EQ(requests[0], expected(c.method, "/first", c.method == "POST"));
    EXPECT_EQ(requests[1], expected(c.next_method, "/second", c.body_kept));
  }
}

TEST(RedirectTarget, DecidesLikeWinHttp) {
  struct Case {
    long status;
    std::string from;
    std::string location;
    std::optional<std::string> target;
  };
  const std::vector<Case> cases = {
      {302, "http://a.test/x/y", "z", "http://a.test/x/z"},
      {302, "http://a.test/x/y", "/z?q=1", "http://a.test/z?q=1"},
      {301, "http://a.test/", "//b.test/p", "http://b.test/p"},
      {307, "http://a.test/", " /p q ", "http://a.test/p%20q"},
      {308, "http://a.test/", "/\xe4\xb8\xad", "http://a.test/%E4%B8%AD"},
      {302, "http://a.test/", "https://b.test/", "https://b.test/"},
      {302, "https://a.test/", "https://b.test/", "https://b.test/"},
      {302, "https://a.test/", "http://b.test/", std::nullopt},
      {302, "https://a.test/x", "HTTP://b.test/", std::nullopt},
      {303, "https://a.test/", "/same-scheme", "https://a.test/same-scheme"},
      {302, "http://a.test/", "ftp://b.test/", std::nullopt},
      {302, "http://a.test/", "file:///etc/passwd", std::nullopt},
      {302, "http://a.test/", "", std::nullopt},
      {302, "http://a.test/", "http://", std::nullopt},
      {302, "http://a.test/", "/a\r\nX: y", std::nullopt},
      {200, "http://a.test/", "http://b.test/", std::nullopt},
      {300, "http://a.test/", "http://b.test/", std::nullopt},
      {304, "http://a.test/", "http://b.test/", std::nullopt},
      {305, "http://a.test/", "http://b.test/", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.status) + " " + c.from + " -> " + c.location);
    EXPECT_EQ(posix::redirect_target(c.status, c.from, c.location), c.target);
  }
}

TEST(WinHttpRequest, MemberNamesIgnoreCase) {
  RawServer server = answering(with_length("HTTP/1.1 200 OK", "any case"));
  auto request = posix::make_winhttp_request();
  ASSERT_TRUE(request->call("settimeouts", {1000, 1000, 1000, 1000}));
  ASSERT_TRUE(request->call("OPEN", {u16("GET"), u16(server.url("/")), false}));
  ASSERT_TRUE(request->call("setRequestHeader", {u16("X-A"), u16("1")}));
  ASSERT_TRUE(request->call("sEnD"));
  const auto body = request->get("responsebody");
  ASSERT_TRUE(body && body->bytes());
  EXPECT_EQ(*body->bytes(), bytes_of("any case"));
  EXPECT_FALSE(request->call("NoSuchMember"));
}

TEST(WinHttpRequest, CallsOutOfOrderFail) {
  auto fresh = posix::make_winhttp_request();
  EXPECT_FALSE(fresh->call("SetRequestHeader", {u16("Accept"), u16("*/*")}));
  EXPECT_FALSE(fresh->call("Send"));
  EXPECT_FALSE(fresh->get("ResponseBody"));
  EXPECT_FALSE(fresh->get("Status"));

  RawServer server = answering(with_length("HTTP/1.1 200 OK", "once"));
  auto request = opened(server.url("/"));
  EXPECT_FALSE(request->get("ResponseBody")) << "before Send";
  ASSERT_TRUE(request->call("Send"));
  EXPECT_FALSE(request->call("SetRequestHeader", {u16("Accept"), u16("*/*")})) << "after Send";
  EXPECT_FALSE(request->call("Send")) << "a second Send without Open";
  EXPECT_FALSE(request->call("ResponseBody", {1})) << "with an argument";
  EXPECT_FALSE(request->put("ResponseBody", Value(Bytes{1})));
}

TEST(WinHttpRequest, OpenRejectsWhatItCannotSend) {
  struct Case {
    std::string name;
    std::vector<Value> args;
  };
  const std::vector<Case> cases = {
      {"asynchronous", {u16("GET"), u16("http://127.0.0.1/"), true}},
      {"asynchronous as a number", {u16("GET"), u16("http://127.0.0.1/"), 1}},
      {"ftp", {u16("GET"), u16("ftp://127.0.0.1/")}},
      {"file", {u16("GET"), u16("file:///etc/passwd")}},
      {"no scheme", {u16("GET"), u16("127.0.0.1/x")}},
      {"blank inside", {u16("GET"), u16("http://127.0.0.1/a b")}},
      {"line break inside", {u16("GET"), u16("http://127.0.0.1/a\r\nX: y")}},
      {"NUL inside", {u16("GET"), Value(std::u16string(u"http://127.0.0.1/a\0b", 20))}},
      {"empty address", {u16("GET"), u16("")}},
      {"method with a blank", {u16("G ET"), u16("http://127.0.0.1/")}},
      {"empty method", {u16(""), u16("http://127.0.0.1/")}},
      {"address not a text", {u16("GET"), 7}},
      {"one argument", {u16("GET")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto request = posix::make_winhttp_request();
    EXPECT_FALSE(request->invoke("Open", automation::Call::method, c.args));
    EXPECT_FALSE(request->call("Send")) << "Send after a failed Open";
  }
}

TEST(WinHttpRequest, SetRequestHeaderRejectsWhatWouldBreakTheHeaderBlock) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"X-A", "1\r\nX-Injected: 2"},
      {"X-A", "1\n"},
      {"X-A:B", "1"},
      {"", "1"},
      {"X A", "1"},
      {"X-A\r\n", "1"},
  };
  auto request = opened("http://127.0.0.1:1/");
  for (const auto& [name, value] : cases) {
    SCOPED_TRACE(name + ": " + value);
    EXPECT_FALSE(request->call("SetRequestHeader", {u16(name), u16(value)}));
  }
  EXPECT_FALSE(request->call("SetRequestHeader", {u16("X-A"), 1})) << "value not a text";
}

TEST(WinHttpRequest, SetTimeoutsTakesFourNumbersOfAtLeastMinusOne) {
  auto request = posix::make_winhttp_request();
  EXPECT_TRUE(request->call("SetTimeouts", {15000, 15000, 15000, 15000}));
  EXPECT_TRUE(request->call("SetTimeouts", {0, -1, 0, -1}));
  EXPECT_FALSE(request->call("SetTimeouts", {1, 2, 3}));
  EXPECT_FALSE(request->call("SetTimeouts", {1, 2, 3, 4, 5}));
  EXPECT_FALSE(request->call("SetTimeouts", {1, 2, 3, -2}));
  EXPECT_FALSE(request->call("SetTimeouts", {1, 2, 3, u16("4")}));
}

} // namespace
} // namespace zembrik
