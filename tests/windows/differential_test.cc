// The Windows check tool under Wine, on Wine's own WinHttpRequest and RegExp, prints the same
// JSON as the Linux one on our stand-ins: for every demo account and every test page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "site.h"
#include "tests/support/live_harness.h"

namespace zembrik {
namespace {

using site::Role;

// Damage done to a GBK page before it is served.
using Damage = std::string (*)(std::string gbk);

std::string unchanged(std::string gbk) {
  return gbk;
}
// Bytes that no code page 936 table fills and a character of the user-defined rows, inside
// the facts' lines (the shop's start date is taken as it stands): both conversions must give
// the same text.
std::string broken_gbk(std::string gbk) {
  for (const char* fact : {"\xB1\xB1\xBE\xA9" /* 北京 */, "\xD5\xE3\xBD\xAD" /* 浙江 */,
                           "2010-05"}) {
    if (const auto at = gbk.find(fact); at != std::string::npos) {
      gbk.insert(at + 2, "\xff\x80\xa2\xa1\xfe\xfe");
    }
  }
  return gbk;
}
// A lead byte followed by a byte that cannot trail it, twice, in the shop's start date.
std::string bad_trail(std::string gbk) {
  if (const auto at = gbk.find("2010-05"); at != std::string::npos) {
    gbk.insert(at + 2, "\x81\x7f\xa1");
  }
  return gbk;
}
std::string lone_lead_at_end(std::string gbk) {
  return gbk + "\x81";
}
std::string euro_and_private_use(std::string gbk) {
  const auto at = gbk.find("\xB1\xB1\xBE\xA9"); // 北京
  if (at != std::string::npos) gbk.insert(at, "\x80\xAA\xA1\xFE\xFE\xA1\xA1");
  return gbk;
}

struct Scenario {
  const char* member;                     // member page fixture
  const char* rating;                     // rating page fixture, or null
  std::vector<std::pair<std::string, const char*>> lists; // "<result>" or "<result>&page=N"
  Damage damage = &unchanged;             // done to the rating page
  // Where Wine is known to part from Windows, and how; the outputs must then differ.
  const char* wine_differs = nullptr;
};

// Every page of tests/data in at least one query. Each query has its own account name and
// numeric ID (the fixtures' 123456 replaced), so that one site serves them all.
const Scenario kScenarios[] = {
    {"member_buyer.html", "rate_buyer_full.html",
     {{"0", "list_max5_page1.js"}, {"0&page=5", "list_max5_last_39.js"}, {"-1", "list_max1_7.js"}}},
    {"member_phone_cert.html", "rate_buyer_few_periods.html",
     {{"0", "list_max6_page1.js"}, {"0&page=6", "list_max6_last_0.js"},
      {"-1", "list_no_maxpage.js"}}},
    {"member_buyer.html", "rate_buyer_no_good_rate.html", {{"0", "list_max1_7.js"}}},
    {"member_buyer.html", "rate_buyer_no_rank.html", {{"-1", "list_no_maxpage.js"}}},
    {"member_buyer.html", "rate_seller_full.html", {}},
    {"member_buyer.html", "rate_seller_old_good_unlinked.html", {}},
    {"member_buyer.html", "rate_seller_old_neutral_unlinked.html", {}},
    {"member_buyer.html", "rate_seller_no_start_date.html", {}},
    {"member_buyer.html", "rate_seller_markup.html", {}},
    {"member_buyer.html", "rate_seller_tmall_caps.html", {}},
    {"member_buyer.html", "rate_tmall.html", {}},
    {"member_buyer.html", "rate_tmall_pro_only.html", {}},
    {"member_stocktaking.html", nullptr, {}},
    {"member_banned.html", nullptr, {}},
    {"member_both_notices.html", nullptr, {}},
    {"member_empty.html", nullptr, {}},
    {"member_buyer.html", "rate_buyer_full.html", {}, &broken_gbk},
    {"member_buyer.html", "rate_seller_full.html", {}, &broken_gbk},
    {"member_buyer.html", "rate_seller_full.html", {}, &bad_trail,
     "Wine's MultiByteToWideChar drops the byte after a lead byte whose trail is invalid (81 7F "
     "gives one \"?\", A1 31 one \"?\" and the 1 is lost); Windows does not drop code points "
     "(Vista on) and our code page decodes that byte afresh"},
    {"member_buyer.html", "rate_buyer_full.html", {}, &lone_lead_at_end},
    {"member_buyer.html", "rate_buyer_full.html", {}, &euro_and_private_use},
};

std::string with_id(std::string text, const std::string& id) {
  for (auto at = text.find("123456"); at != std::string::npos; at = text.find("123456", at))
    text.replace(at, 6, id);
  return text;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(WindowsDifferential, SameJsonForEveryDemoAccountAndTestPage) {
  site::SiteServer server;
  server.load_demo_accounts();
  std::vector<std::string> names;
  std::vector<std::string> what; // the case of each name, for failures
  std::vector<bool> wine_differs;
  for (const auto& account : site::demo_accounts()) {
    names.push_back(account.name);
    what.push_back(account.label);
    wine_differs.push_back(false);
  }
  int number = 0;
  for (const Scenario& s : kScenarios) {
    const std::string id = std::to_string(700000 + ++number);
    const std::string name = "fixture" + std::to_string(number);
    names.push_back(name);
    what.emplace_back(s.wine_differs ? s.wine_differs
                                     : std::string(s.member) + " " + (s.rating ? s.rating : ""));
    wine_differs.push_back(s.wine_differs != nullptr);
    const auto serve = [&](Role role, const std::string& target, const char* fixture,
                           Damage damage = &unchanged) {
      server.set(role, target,
                 {200, "text/html; charset=gbk",
                  damage(site::gbk_page(with_id(test::read_fixture(fixture), id), server))});
    };
    serve(Role::member, site::member_target(name), s.member);
    if (s.rating) serve(Role::rating, "/user-rate-" + id + ".htm", s.rating, s.damage);
    for (const auto& [key, fixture] : s.lists) {
      const std::string result = key.substr(0, key.find('&'));
      const std::string page = key.find('&') == std::string::npos ? "" : key.substr(key.find('&'));
      serve(Role::rating,
            "/member_rate.htm?content=&result=" + result + "&user_id=" + id +
                "&rater=3&direction=1" + page,
            fixture);
    }
  }
  std::vector<std::string> args = test::check_host_options(server, true);
  args.insert(args.end(), names.begin(), names.end());

  const auto [linux_status, linux_out] = test::run_check(args);
  setenv("ZEMBRIK_WINE_PREFIX", ZEMBRIK_WINE_PREFIX, 1);
  const auto [windows_status, windows_out] =
      test::run_program(std::string(ZEMBRIK_WINE_SCRIPT) + " " + ZEMBRIK_WINDOWS_CHECK, args);
  if (windows_status == 77) GTEST_SKIP() << "wine64 is not installed";
  ASSERT_EQ(linux_status, 0);
  ASSERT_EQ(windows_status, 0);
  const auto linux_lines = lines_of(linux_out);
  const auto windows_lines = lines_of(windows_out);
  ASSERT_EQ(linux_lines.size(), names.size());
  ASSERT_EQ(windows_lines.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (wine_differs[i]) {
      EXPECT_NE(windows_lines[i], linux_lines[i]) << "no longer: " << what[i];
    } else {
      EXPECT_EQ(windows_lines[i], linux_lines[i]) << what[i];
    }
  }
}

} // namespace
} // namespace zembrik
