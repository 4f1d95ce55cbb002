// Whole queries with the real stand-ins against the loopback site: fixture pages of tests/data,
// the headers as the server received them, and the check tool run as a program.
#include <gtest/gtest.h>

#include <sstream>

#include "app/config.h"
#include "app/controls.h"
#include "app/state.h"
#include "app/window_description.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/headless_window.h"
#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "resources.h"
#include "site.h"
#include "tests/support/live_harness.h"

namespace zembrik {
namespace {

using namespace controls;
using site::Role;
using test::LiveHarness;
using test::run_check;

const char* const kRatingTarget = "/user-rate-123456.htm";
std::string list_target(int code, int page = 0) {
  std::string t = "/member_rate.htm?content=&result=" + std::to_string(code) +
                  "&user_id=123456&rater=3&direction=1";
  if (page > 0) t += "&page=" + std::to_string(page);
  return t;
}

TEST(LiveQuery, SendsTheProgramsHeadersAndNothingElse) {
  LiveHarness h;
  h.query("中");
  const auto requests = h.server.requests();
  ASSERT_EQ(requests.size(), 1u);
  const std::string address =
      "http://" + h.server.member_host() + "/member/user_profile.jhtml?user_id=%D6%D0";
  EXPECT_EQ(requests[0].raw_head,
            "GET /member/user_profile.jhtml?user_id=%D6%D0 HTTP/1.1\r\n"
            "Host: " + h.server.member_host() + "\r\n"
            "Referer: " + address + "\r\n"
            "Accept: */*\r\n"
            "Accept-Language: zh-cn\r\n"
            "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\n");
  EXPECT_EQ(h.text(分组框账号信息), "获取店铺信息失败！");
}

TEST(LiveQuery, ABuyerTakesSevenRequestsAtMost) {
  LiveHarness h;
  h.member("小明", "member_buyer.html");
  h.page(Role::rating, kRatingTarget, "rate_buyer_full.html");
  h.server.set(Role::image, "/newrank/b_red_2.gif", {200, "image/gif", "GIF89a"});
  h.page(Role::rating, list_target(0), "list_max5_page1.js");
  h.page(Role::rating, list_target(0, 5), "list_max5_last_39.js");
  h.page(Role::rating, list_target(-1), "list_max1_7.js");
  h.query("小明");
  EXPECT_EQ(h.text(编辑框账号), "淘宝买家");
  EXPECT_EQ(h.text(编辑框id), "123456");
  EXPECT_EQ(h.text(编辑框日期), "2010年5月3日");
  EXPECT_EQ(h.text(编辑框认证), "支付宝个人认证");
  EXPECT_EQ(h.text(编辑框地区), "北京");
  EXPECT_EQ(h.text(编辑框信用), "35");
  EXPECT_EQ(h.text(编辑框好评率), "97.30%");
  const std::vector<std::string> periods = {h.text(编辑框一周好), h.text(编辑框一周中), h.text(编辑框一周差),
                                            h.text(编辑框一月好), h.text(编辑框年前差)};
  EXPECT_EQ(periods, (std::vector<std::string>{"0", "1", "2", "3", "9"}));
  EXPECT_EQ(h.text(编辑框中评), "199");
  EXPECT_EQ(h.text(编辑框差评), "7");
  const Bytes icon = h.window->read_picture(图片框信用);
  EXPECT_EQ(std::string(icon.begin(), icon.end()), "GIF89a");
  EXPECT_EQ(h.text(分组框查询), "查询完毕");
  // Rules 2 (199 neutral) and 3 (7 negative) hold.
  EXPECT_EQ(h.window->read_picture(图片框安全), resources::picture_danger());
  const std::vector<std::string> expected = {site::member_target("小明"), kRatingTarget,
                                             "/newrank/b_red_2.gif", list_target(0),
                                             list_target(0, 5), list_target(-1)};
  EXPECT_EQ(h.targets(), expected);
}

TEST(LiveQuery, MemberPageFailures) {
  const std::pair<const char*, const char*> cases[] = {
      {"member_empty.html", "获取店铺信息失败！"},
      {"member_stocktaking.html", "该用户不存在或淘宝正在对该店铺盘点！"},
      {"member_banned.html", "该账号已被查封！"},
      {"member_both_notices.html", "该用户不存在或淘宝正在对该店铺盘点！"},
  };
  for (const auto& [fixture, message] : cases) {
    LiveHarness h;
    h.member("x", fixture);
    h.query("x");
    EXPECT_EQ(h.text(分组框账号信息), message) << fixture;
    EXPECT_EQ(h.server.requests().size(), 1u) << fixture;
  }
}

TEST(LiveQuery, AnErrorStatusPageIsReadLikeAnyOther) {
  LiveHarness h;
  h.page(Role::member, site::member_target("x"), "member_banned.html", 404);
  h.query("x");
  EXPECT_EQ(h.text(分组框账号信息), "该账号已被查封！");
}

TEST(LiveQuery, KindsAndSellerFigures) {
  struct Case {
    const char* fixture;
    const char* kind;
    const char* last_row; // good / neutral / negative of the last period
    const char* date;
  };
  const Case cases[] = {
      {"rate_tmall_pro_only.html", "淘宝买家", nullptr, "2010年5月3日"},
      {"rate_seller_tmall_caps.html", "淘宝卖家", "980/9/6", "2010-05-03"},
      {"rate_seller_full.html", "淘宝卖家", "980/9/6", "2010-05-03"},
      {"rate_seller_old_good_unlinked.html", "淘宝卖家", "0/9/6", "2010-05-03"},
      {"rate_seller_old_neutral_unlinked.html", "淘宝卖家", "980/0/6", "2010-05-03"},
      {"rate_seller_no_start_date.html", "淘宝卖家", "980/9/6", ""},
      {"rate_tmall.html", "淘宝天猫", "//", "2010-05-03"},
  };
  for (const auto& c : cases) {
    LiveHarness h;
    h.member("s", "member_buyer.html");
    h.page(Role::rating, kRatingTarget, c.fixture);
    h.query("s");
    EXPECT_EQ(h.text(编辑框账号), c.kind) << c.fixture;
    EXPECT_EQ(h.text(编辑框日期), c.date) << c.fixture;
    if (c.last_row) {
      EXPECT_EQ(h.text(编辑框年前好) + "/" + h.text(编辑框年前中) + "/" + h.text(编辑框年前差),
                c.last_row)
          << c.fixture;
    }
    if (std::string(c.kind) == "淘宝卖家") {
      EXPECT_EQ(h.text(编辑框一周好) + "/" + h.text(编辑框一周中) + "/" + h.text(编辑框一周差), "12/3/1")
          << c.fixture;
      EXPECT_EQ(h.text(编辑框半年好), "260") << c.fixture;
      EXPECT_EQ(h.text(编辑框信用), "1237") << c.fixture;
      EXPECT_EQ(h.window->read_picture(图片框安全), resources::picture_unknown()) << c.fixture;
    }
  }
}

TEST(CheckTool, PrintsOneJsonLinePerDemoAccount) {
  site::SiteServer server;
  server.load_demo_accounts();
  std::vector<std::string> args = test::check_host_options(server, true);
  for (const auto& account : site::demo_accounts()) args.push_back(account.name);
  const auto [status, out] = run_check(args);
  EXPECT_EQ(status, 0);
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), site::demo_accounts().size());
  const auto line_of = [&](std::string_view label) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (site::demo_accounts()[i].label == label) return lines[i];
    }
    return std::string();
  };
  EXPECT_NE(line_of("safe_buyer").find("\"图片框安全\": \"picture_safe\""), std::string::npos);
  EXPECT_NE(line_of("risky_buyer").find("\"图片框安全\": \"picture_danger\""), std::string::npos);
  EXPECT_NE(line_of("risky_buyer").find("●注册日期小于30天●\\r\\n"), std::string::npos);
  EXPECT_NE(line_of("seller").find("\"account_kind\": \"Seller\""), std::string::npos);
  EXPECT_NE(line_of("tmall").find("\"account_kind\": \"Tmall\""), std::string::npos);
  EXPECT_NE(line_of("unknown").find("获取店铺信息失败！"), std::string::npos);
  EXPECT_NE(line_of("stocktaking").find("该用户不存在或淘宝正在对该店铺盘点！"), std::string::npos);
  EXPECT_NE(line_of("banned").find("该账号已被查封！"), std::string::npos);
  // Each line holds every edit box, label and group box, and labels carry no colour.
  EXPECT_NE(lines[0].find("\"编辑框安全\": {\"text\": "), std::string::npos);
  EXPECT_NE(lines[0].find("\"标签横杠账号\": {\"text\": \"\", \"colour\": null}"), std::string::npos);
}

TEST(CheckTool, RejectsBadOptions) {
  EXPECT_EQ(run_check({}).first, 2);
  EXPECT_EQ(run_check({"--bogus", "x"}).first, 2);
  EXPECT_EQ(run_check({"--member-host"}).first, 2);
}

} // namespace
} // namespace zembrik
