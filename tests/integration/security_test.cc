// What a user's input or a page's text can do beyond its place: the typed account name stays
// inside the member page's query string, page text reaches the window as text, and the ID box
// reaches the desktop as one address.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/controls.h"
#include "site.h"
#include "tests/support/live_harness.h"
#include "text/text.h"
#include "web/web.h"

namespace zembrik {
namespace {

using namespace controls;
using test::LiveHarness;

std::string header(const site::Request& request, std::string_view name) {
  for (const auto& [n, value] : request.headers) {
    if (n == name) return value;
  }
  return "<none>";
}

TEST(Security, AnAccountNameStaysInTheMemberPageQuery) {
  struct Case {
    std::string typed;   // UTF-8, as the user types it
    std::string user_id; // the request target's user_id value, as the member host receives it
  };
  const Case cases[] = {
      {"100%", "100%25"},
      {"a&user_id=b", "a%26user_id%3Db"},
      {"a#b", "a%23b"},
      {"a?b", "a%3Fb"},
      {"a/b", "a/b"},
      {"../../etc/passwd", "../../etc/passwd"},
      {"/..", "/.."},
      {"@evil.example:80", "@evil.example%3A80"},
      {"http://evil.example/", "http%3A//evil.example/"},
      {"小 明", "%D0%A1%20%C3%F7"},
      {"  小明\xE3\x80\x80", "%D0%A1%C3%F7"}, // blanks and a full-width space trimmed
      {"a\r\nHost: evil.example\r\n", "a%0D%0AHost%3A%20evil.example%0D%0A"},
      {"小😀明", "%D0%A1%3F%C3%F7"}, // nothing beyond the BMP is in code page 936: "?"
      {"€", "%80"},                 // code page 936 byte 80
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(to_utf8(url_encode_account(trim(gbk(c.typed)))), c.user_id);
    LiveHarness h;
    h.query(c.typed);
    const auto requests = h.server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const site::Request& r = requests[0];
    EXPECT_EQ(r.role, site::Role::member);
    const std::string target = "/member/user_profile.jhtml?user_id=" + c.user_id;
    EXPECT_EQ(r.raw_head.substr(0, r.raw_head.find("\r\n")), "GET " + target + " HTTP/1.1");
    EXPECT_EQ(r.target, target);
    EXPECT_EQ(header(r, "Host"), h.server.member_host());
    EXPECT_EQ(header(r, "Referer"), "http://" + h.server.member_host() + target);
    EXPECT_EQ(r.headers.size(), 6u); // Host and the program's five: none injected
    EXPECT_EQ(h.text(分组框账号信息), "获取店铺信息失败！");
  }
}

TEST(Security, MarkupInAPageShowsAsText) {
  const std::string date = "<b>粗体</b><img src=x onerror=alert(1)>";
  const std::string good_rate = "99.76&amp;&#x4E2D;%";
  LiveHarness h;
  h.member("m", "member_buyer.html");
  h.page(site::Role::rating, "/user-rate-123456.htm", "rate_seller_markup.html");
  h.query("m");
  EXPECT_EQ(h.text(编辑框账号), "淘宝卖家");
  EXPECT_EQ(h.text(编辑框日期), date);
  EXPECT_EQ(h.text(编辑框好评率), good_rate);

  std::vector<std::string> args = test::check_host_options(h.server, true);
  args.emplace_back("m");
  const auto [status, out] = test::run_check(args);
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("\"编辑框日期\": {\"text\": \"" + date + "\""), std::string::npos) << out;
  EXPECT_NE(out.find("\"编辑框好评率\": {\"text\": \"" + good_rate + "\""), std::string::npos)
      << out;
}

TEST(Security, TheRatingPageAddressIsOneAddressWhateverTheIdBoxHolds) {
  const std::string ids[] = {"1;touch /tmp/x", "$(id)", "`id`",  "a b|c",
                             "1&&id>/tmp/x",   "'\"\\", "1\r\nx"};
  for (const std::string& id : ids) {
    SCOPED_TRACE(id);
    LiveHarness h;
    h.window->set_text(编辑框id, gbk(id));
    h.window->left_button_press(图片框安全);
    const std::vector<Text> opened = h.desktop.opened();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(to_utf8(opened[0]), "http://" + h.server.rating_host() + "/user-rate-" + id + ".htm");
    EXPECT_TRUE(h.server.requests().empty());
  }
}

} // namespace
} // namespace zembrik
