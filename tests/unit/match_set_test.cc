// The shared match set over the regular-expression component.
#include <gtest/gtest.h>

#include "tests/support/fakes.h"
#include "text/match_set.h"

namespace zembrik {
namespace {

using testing_support::CoreHarness;

TEST(MatchSet, ReadsMatchesAndGroups) {
  CoreHarness h;
  match_execute(gbk("(\\d+)年(\\d+)?"), gbk("2010年5 和 2011年"));
  EXPECT_EQ(match_count(), 2);
  EXPECT_EQ(match_value(1), gbk("2010年5"));
  EXPECT_EQ(match_submatch(1, 2), gbk("5"));
  // A group that took no part in the match gives the empty text.
  EXPECT_EQ(match_submatch(2, 1), gbk("2011"));
  EXPECT_EQ(match_submatch(2, 2), Text());
  // Beyond the matches or the groups: the empty text, and the set stays.
  EXPECT_EQ(match_submatch(3, 1), Text());
  EXPECT_EQ(match_submatch(1, 3), Text());
  EXPECT_EQ(match_value(0), Text());
  EXPECT_EQ(match_count(), 2);
}

TEST(MatchSet, ChineseClassesMatchWholeGbkCharacters) {
  CoreHarness h;
  match_execute(gbk("<dd>  ([\\u4e00-\\u9fa5]+)  </dd>"), gbk("<dd>  浙江杭州  </dd>"));
  EXPECT_EQ(match_submatch(1, 1), gbk("浙江杭州"));
  match_execute(gbk("认证(.)"), gbk("认证中"));
  EXPECT_EQ(match_submatch(1, 1), gbk("中"));
}

TEST(MatchSet, NoMatchSyntaxErrorAndMissingComponentLookAlike) {
  CoreHarness h;
  const auto expect_empty_set = [] {
    EXPECT_EQ(match_count(), 0);
    EXPECT_EQ(match_value(1), Text());
    EXPECT_EQ(match_submatch(1, 1), Text());
  };
  match_execute(gbk("(x)"), gbk("abc"));
  expect_empty_set();
  match_execute(gbk("(a"), gbk("abc"));
  expect_empty_set();
  match_execute(gbk("(?<=a)b"), gbk("abc"));
  expect_empty_set();
  h.registry.remove("VBScript.RegExp");
  match_execute(gbk("(a)"), gbk("abc"));
  expect_empty_set();
}

TEST(MatchSet, EachExecutionReplacesTheSetWithANewObject) {
  CoreHarness h;
  match_execute(gbk("a(.)"), gbk("ab"));
  const auto first_object = regex_object->get();
  match_execute(gbk("c(.)"), gbk("cd ce"));
  EXPECT_NE(regex_object->get(), first_object);
  EXPECT_EQ(match_value(1), gbk("cd"));
  EXPECT_EQ(match_count(), 2);
}

TEST(MatchSet, IsCaseInsensitiveAndMultiline) {
  CoreHarness h;
  match_execute(gbk("^tmall-pro$"), gbk("x\r\nTMALL-PRO\r\ny"));
  EXPECT_EQ(match_value(1), gbk("TMALL-PRO"));
}

} // namespace
} // namespace zembrik
