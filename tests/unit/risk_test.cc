// The security level judged from the figures in the window's boxes.
#include <gtest/gtest.h>

#include <map>

#include "app/controls.h"
#include "app/state.h"
#include "app/window_description.h"
#include "query/query.h"
#include "resources.h"
#include "tests/support/fakes.h"

namespace zembrik {
namespace {

using namespace controls;
using testing_support::CoreHarness;

const char* const kHeader = "↑单击上图可查看详细信息↑\r\n\r\n";

// The window as a query leaves it just before the assessment: boxes filled, reasons empty,
// picture pending.
void judge(CoreHarness& h, AccountKind kind, const std::map<ControlName, std::string>& boxes,
           LocalTime now = {2026, 12, 11, 12, 0, 0}) {
  account_kind = kind;
  h.clock.set(now);
  h.window->set_text(编辑框安全, Text());
  h.window->set_picture(图片框安全, resources::picture_pending());
  for (const auto& [box, text] : boxes) h.window->set_text(box, gbk(text));
  assess_risk();
}

TEST(AssessRisk, RegistrationWithinThirtyDays) {
  struct Case {
    std::string date;
    LocalTime now;
    bool holds;
  };
  const Case cases[] = {
      {"2013年3月1日", {2013, 3, 30, 23, 59, 59}, true},
      {"2013年3月1日", {2013, 3, 31, 0, 0, 0}, true},
      {"2013年3月1日", {2013, 3, 31, 0, 0, 1}, false},
      {"2027年1月1日", {2026, 12, 11, 0, 0, 0}, true}, // in the future
      {"2024年2月29日", {2024, 3, 10, 0, 0, 0}, true},
      {"", {2026, 12, 11, 0, 0, 0}, false},
      {"2013年2月30日", {2013, 3, 1, 0, 0, 0}, false},
      {"99年1月1日", {99, 1, 2, 0, 0, 0}, false},
      {"2013年3月1日x", {2013, 3, 2, 0, 0, 0}, false},
      {"2013-03-01", {2013, 3, 2, 0, 0, 0}, false},
  };
  for (const auto& c : cases) {
    CoreHarness h;
    judge(h, AccountKind::Buyer, {{编辑框日期, c.date}}, c.now);
    EXPECT_EQ(h.picture(图片框安全) == resources::picture_danger(), c.holds) << c.date;
    EXPECT_EQ(h.colour(编辑框日期) == kRed, c.holds) << c.date;
  }
}

TEST(AssessRisk, FigureThresholds) {
  struct Case {
    std::map<ControlName, std::string> boxes;
    std::vector<ControlName> red;
  };
  const Case cases[] = {
      {{{编辑框中评, "2"}, {编辑框差评, "1"}}, {}},
      {{{编辑框中评, "3"}}, {编辑框中评}},
      {{{编辑框差评, "2"}}, {编辑框差评}},
      {{{编辑框中评, "≥200"}, {编辑框差评, "≥200"}}, {编辑框中评, 编辑框差评}},
      {{{编辑框一周好, "2"}, {编辑框一周中, "2"}, {编辑框一周差, "2"}},
       {编辑框一周好, 编辑框一周中, 编辑框一周差}},
      {{{编辑框一周好, "5"}, {编辑框一周中, "0"}, {编辑框一周差, ""}}, {}},
      {{{编辑框一月好, "10"}, {编辑框一月中, "10"}}, {}},
      {{{编辑框一月好, "10"}, {编辑框一月中, "10"}, {编辑框一月差, "1"}},
       {编辑框一月好, 编辑框一月中, 编辑框一月差}},
      {{{编辑框中评, "abc"}, {编辑框差评, "%"}}, {}},
  };
  const ControlName judged[] = {编辑框日期,   编辑框中评,   编辑框差评,   编辑框一周好, 编辑框一周中,
                                编辑框一周差, 编辑框一月好, 编辑框一月中, 编辑框一月差};
  for (const auto& c : cases) {
    CoreHarness h;
    judge(h, AccountKind::Buyer, c.boxes);
    for (const ControlName box : judged) {
      const bool expected_red = std::find(c.red.begin(), c.red.end(), box) != c.red.end();
      EXPECT_EQ(h.colour(box) == kRed, expected_red) << box << " in case " << c.boxes.size();
    }
    EXPECT_EQ(h.picture(图片框安全),
              c.red.empty() ? resources::picture_safe() : resources::picture_danger());
  }
}

TEST(AssessRisk, ListsTheReasonsInRuleOrder) {
  CoreHarness h;
  judge(h, AccountKind::Buyer,
        {{编辑框中评, "3"}, {编辑框一周好, "2"}, {编辑框一周中, "2"}, {编辑框一周差, "2"}});
  EXPECT_EQ(h.text(编辑框安全), std::string(kHeader) + "●给出的中评大于2个●\r\n●最近一周内交易超过5笔●\r\n");
  EXPECT_EQ(h.picture(图片框安全), resources::picture_danger());

  CoreHarness all;
  judge(all, AccountKind::Buyer,
        {{编辑框日期, "2026年12月1日"}, {编辑框中评, "3"}, {编辑框差评, "2"}, {编辑框一周好, "6"},
         {编辑框一月好, "21"}});
  EXPECT_EQ(all.text(编辑框安全), std::string(kHeader) +
                                      "●注册日期小于30天●\r\n●给出的中评大于2个●\r\n●给出的差评大于1个●\r\n"
                                      "●最近一周内交易超过5笔●\r\n●最近一月内交易超过20笔●\r\n");
}

TEST(AssessRisk, SafeBuyerShowsOnlyTheHeader) {
  CoreHarness h;
  judge(h, AccountKind::Buyer, {{编辑框日期, "2010年5月3日"}});
  EXPECT_EQ(h.picture(图片框安全), resources::picture_safe());
  EXPECT_EQ(h.text(编辑框安全), kHeader);
}

TEST(AssessRisk, SellersAndTmallShopsAreNotJudged) {
  for (const AccountKind kind : {AccountKind::Seller, AccountKind::Tmall}) {
    CoreHarness h;
    judge(h, kind,
          {{编辑框日期, "2026年12月10日"}, {编辑框中评, "≥200"}, {编辑框一周好, "999"}});
    EXPECT_EQ(h.picture(图片框安全), resources::picture_unknown());
    EXPECT_EQ(h.text(编辑框安全), kHeader);
    EXPECT_EQ(h.colour(编辑框中评), kBlack);
    EXPECT_EQ(h.colour(编辑框日期), kBlack);
  }
}

} // namespace
} // namespace zembrik
