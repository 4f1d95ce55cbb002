#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "site.h"
#include "text/text.h"

namespace zembrik::site {
namespace {

int port_of(const std::string& host) {
  return std::stoi(host.substr(host.rfind(':') + 1));
}

// A connected socket to 127.0.0.1:port, or -1.
int connect_to(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

struct RawResponse {
  int status = 0;
  std::string head;
  std::string body;
};

// Sends `request` byte for byte and reads the response until the server closes, so that the
// target and headers reach the server exactly as written here.
std::optional<RawResponse> send_raw(const std::string& host, const std::string& request) {
  const int fd = connect_to(port_of(host));
  if (fd < 0) return std::nullopt;
  ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  std::string data;
  char buffer[4096];
  for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
    data.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  const auto end = data.find("\r\n\r\n");
  if (data.size() < 12 || end == std::string::npos) return std::nullopt;
  return RawResponse{std::stoi(data.substr(9, 3)), data.substr(0, end), data.substr(end + 4)};
}

std::optional<RawResponse> get(const std::string& host, const std::string& target) {
  return send_raw(host,
                  "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n\r\n");
}

std::string gbk_bytes(std::string_view utf8) {
  return gbk(utf8).bytes;
}

TEST(SiteServer, ServesDemoMemberPageAtGbkEncodedName) {
  SiteServer server;
  server.load_demo_accounts();
  const DemoAccount& buyer = demo_account("safe_buyer");
  ASSERT_EQ(buyer.name, "快乐的小鱼");
  // The GBK bytes of 快乐的小鱼 are BF EC C0 D6 B5 C4 D0 A1 D3 E3.
  const std::string target = "/member/user_profile.jhtml?user_id=%BF%EC%C0%D6%B5%C4%D0%A1%D3%E3";
  EXPECT_EQ(member_target(buyer.name), target);

  const auto response = get(server.member_host(), target);
  ASSERT_TRUE(response);
  EXPECT_EQ(response->status, 200);
  EXPECT_NE(response->head.find("Content-Type: text/html; charset=gbk"), std::string::npos);
  EXPECT_NE(response->body.find(gbk_bytes("注册时间")), std::string::npos);
  EXPECT_NE(response->body.find("http://" + server.rating_host() + "/user-rate-" + buyer.user_id +
                                ".htm\""),
            std::string::npos);
  EXPECT_EQ(response->body.find(buyer.name), std::string::npos) << "the page must be GBK";
  EXPECT_NE(response->body.find(gbk_bytes(buyer.name)), std::string::npos);

  const auto log = server.requests();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].role, Role::member);
  EXPECT_EQ(log[0].method, "GET");
  EXPECT_EQ(log[0].target, target);
}

TEST(SiteServer, MatchesAndLogsTheRawTargetWithoutDecoding) {
  SiteServer server;
  server.set(Role::member, "/p?user_id=%D6%D0", Response{200, "text/plain", "zhong"});
  struct Case {
    std::string target;
    int status;
  };
  const Case cases[] = {
      {"/p?user_id=%D6%D0", 200},     {"/p?user_id=%d6%d0", 404}, // escapes are not case-folded
      {"/p?user_id=\xD6\xD0", 404},                               // nor decoded before matching
      {"/p?user_id=%D6%D0&x=1", 404},                             // the query is part of the target
      {"/p?a=%20+%2B", 404},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    server.clear_requests();
    const auto response = get(server.member_host(), c.target);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, c.status);
    EXPECT_EQ(response->body, c.status == 200 ? "zhong" : "");
    const auto log = server.requests();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].target, c.target);
  }
}

TEST(SiteServer, AnswersUnknownTargetsWith404AndEmptyBody) {
  SiteServer server;
  server.load_demo_accounts();
  const std::string unknown = member_target(demo_account("unknown").name);
  for (const auto& [host, target] :
       {std::pair{server.member_host(), unknown},
        {server.rating_host(), std::string("/x.htm")},
        {server.image_host(), std::string("/newrank/b_red_6.gif")},
        // A route of one host is not served by another.
        {server.rating_host(), member_target(demo_account("safe_buyer").name)}}) {
    SCOPED_TRACE(host + target);
    const auto response = get(host, target);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 404);
    EXPECT_EQ(response->body, "");
  }
  EXPECT_EQ(server.requests().size(), 4u);
}

TEST(SiteServer, LogsHeadersInTheOrderReceived) {
  SiteServer server;
  const std::string referer = "http://" + server.member_host() + "/member/user_profile.jhtml?a=1";
  const std::string head = "GET /a HTTP/1.1\r\n"
                           "Referer: " +
                           referer +
                           "\r\n"
                           "Accept: */*\r\n"
                           "Accept-Language: zh-cn\r\n"
                           "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; "
                           "Trident/5.0)\r\n"
                           "Content-Type:  application/x-www-form-urlencoded \r\n"
                           "Host: " +
                           server.member_host() +
                           "\r\n"
                           "Connection: close\r\n";
  ASSERT_TRUE(send_raw(server.member_host(), head + "\r\n"));

  const auto log = server.requests();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].raw_head, head);
  const std::vector<std::pair<std::string, std::string>> expected{
      {"Referer", referer},
      {"Accept", "*/*"},
      {"Accept-Language", "zh-cn"},
      {"User-Agent", "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)"},
      {"Content-Type", "application/x-www-form-urlencoded"},
      {"Host", server.member_host()},
      {"Connection", "close"}};
  EXPECT_EQ(log[0].headers, expected);
}

TEST(SiteServer, SetReplacesAndClearRemovesRoutes) {
  SiteServer server;
  server.set(Role::image, "/i.gif", Response{200, "image/gif", "one"});
  server.set(Role::image, "/i.gif", Response{201, "image/gif", std::string("t\0o", 3)});
  auto response = get(server.image_host(), "/i.gif");
  ASSERT_TRUE(response);
  EXPECT_EQ(response->status, 201);
  EXPECT_EQ(response->body, std::string("t\0o", 3));

  server.clear();
  response = get(server.image_host(), "/i.gif");
  ASSERT_TRUE(response);
  EXPECT_EQ(response->status, 404);
  EXPECT_EQ(server.requests().size(), 2u);
  server.clear_requests();
  EXPECT_TRUE(server.requests().empty());
}

TEST(SiteServer, SendsBodiesUncompressedWhateverTheClientAccepts) {
  SiteServer server;
  const std::string body(4000, 'x');
  server.set(Role::rating, "/r.htm", Response{200, "text/html; charset=gbk", body});
  const auto response = send_raw(server.rating_host(), "GET /r.htm HTTP/1.1\r\nHost: h\r\n"
                                                       "Accept-Encoding: gzip, deflate, br\r\n"
                                                       "Connection: close\r\n\r\n");
  ASSERT_TRUE(response);
  EXPECT_EQ(response->head.find("Content-Encoding"), std::string::npos);
  EXPECT_EQ(response->body, body);
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].headers[1].second, "gzip, deflate, br");
}

TEST(SiteServer, DemoAccountsServeTheirPages) {
  SiteServer server;
  server.load_demo_accounts();
  struct Case {
    std::string label;
    std::string marker; // UTF-8, looked for in GBK
  };
  const Case cases[] = {
      {"risky_buyer", "alt=\"手机验证\""},
      {"seller", "信用评价"},
      {"tmall", "网店经营者营业执照信息"},
      {"stocktaking",
       "<div class=\"error-info\">\n\t\t\t\t<h2>很抱歉！淘宝正在对该店铺盘点，请稍后再试！"},
      {"banned", "通告：該用戶已經被查封！"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const auto response = get(server.member_host(), member_target(demo_account(c.label).name));
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    std::string marker = gbk_bytes(c.marker);
    for (auto at = marker.find('\n'); at != std::string::npos; at = marker.find('\n', at + 2)) {
      marker.insert(at, "\r");
    }
    EXPECT_NE(response->body.find(marker), std::string::npos);
  }
  const auto icon = get(server.image_host(), "/newrank/s_crown_5.gif");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->status, 200);
  EXPECT_NE(icon->head.find("Content-Type: image/gif"), std::string::npos);
  EXPECT_EQ(icon->body.substr(0, 6), "GIF89a");
}

TEST(SiteServer, StopsWithAnIdleKeepAliveConnectionOpen) {
  int member_port = 0;
  int idle = -1;
  {
    SiteServer server;
    member_port = port_of(server.member_host());
    idle = connect_to(member_port);
    ASSERT_GE(idle, 0);
    const std::string request = "GET /k HTTP/1.1\r\nHost: x\r\n\r\n";
    ::send(idle, request.data(), request.size(), MSG_NOSIGNAL);
    char buffer[512];
    ASSERT_GT(::recv(idle, buffer, sizeof buffer, 0), 0);
    // The connection stays open, waiting for a next request, while the server goes away.
  }
  char byte;
  EXPECT_EQ(::recv(idle, &byte, 1, 0), 0) << "the server closes kept-alive connections";
  ::close(idle);
  EXPECT_EQ(connect_to(member_port), -1) << "nothing listens after the destructor";
}

TEST(GbkPage, FillsKeysConvertsToGbkAndEndsLinesInCrLf) {
  SiteServer server;
  const std::string page = gbk_page("a{{RATING_HOST}}\n中{{K}}\r\n{{NOPE}}\n\n", server,
                                    {{"K", "{{IMAGE_HOST}}\n"}, {"MEMBER_HOST", "mine"}});
  EXPECT_EQ(page,
            "a" + server.rating_host() + "\r\n\xD6\xD0{{IMAGE_HOST}}\r\n\r\n{{NOPE}}\r\n\r\n");
  EXPECT_EQ(gbk_page("{{MEMBER_HOST}}", server, {{"MEMBER_HOST", "mine"}}), "mine");
  EXPECT_EQ(gbk_page("", server), "");
}

TEST(UrlEncodeGbk, KeepsTheSafeSetAndEscapesEverythingElseInCapitals) {
  struct Case {
    std::string gbk;
    std::string encoded;
  };
  const Case cases[] = {
      {"ab \xD6\xD0", "ab%20%D6%D0"},
      {"a+b", "a%2Bb"},
      {"a~b", "a%7Eb"},
      {"x,y/z", "x,y/z"},
      {"*-._@AZaz09", "*-._@AZaz09"},
      {"\x81@", "%81@"},
      {std::string("\0\n%?=&[]^`{}", 12), "%00%0A%25%3F%3D%26%5B%5D%5E%60%7B%7D"},
      {"\xFF\x7F", "%FF%7F"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(url_encode_gbk(c.gbk), c.encoded);
  }
}

} // namespace
} // namespace zembrik::site
