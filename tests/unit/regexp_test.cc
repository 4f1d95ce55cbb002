// The "VBScript.RegExp" stand-in, driven by member name as the program drives the component.
// Expected results are those of JavaScript's RegExp without the u flag.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/automation.h"
#include "platform/posix/posix_platform.h"

namespace zembrik {
namespace {

using automation::ObjectRef;
using automation::Value;

enum Flags : unsigned { kNone = 0, kGlobal = 1, kIgnoreCase = 2, kMultiline = 4 };

using Group = std::optional<std::u16string>; // nullopt: the group took no part in the match
constexpr std::nullopt_t kUnset = std::nullopt;

struct Found {
  Found() = default;
  Found(std::u16string v, std::int64_t first, std::vector<Group> g = {})
      : value(std::move(v)), first_index(first), groups(std::move(g)) {}

  std::u16string value;
  std::int64_t first_index = 0;
  std::vector<Group> groups;
  friend bool operator==(const Found&, const Found&) = default;
};

void PrintTo(const Found& found, std::ostream* os) {
  *os << testing::PrintToString(found.value) << "@" << found.first_index;
  for (const Group& g : found.groups)
    *os << " " << (g ? testing::PrintToString(*g) : "<unset>");
}

std::optional<std::int64_t> integer(const std::optional<Value>& v) {
  if (!v) return std::nullopt;
  if (const auto* i = std::get_if<std::int64_t>(&v->data)) return *i;
  return std::nullopt;
}

std::optional<bool> boolean(const std::optional<Value>& v) {
  if (!v) return std::nullopt;
  if (const auto* b = std::get_if<bool>(&v->data)) return *b;
  return std::nullopt;
}

ObjectRef make_regexp(const std::u16string& pattern, unsigned flags) {
  ObjectRef re = posix::make_regexp();
  EXPECT_TRUE(re->put("IgnoreCase", (flags & kIgnoreCase) != 0));
  EXPECT_TRUE(re->put("Multiline", (flags & kMultiline) != 0));
  EXPECT_TRUE(re->put("Global", (flags & kGlobal) != 0));
  EXPECT_TRUE(re->put("Pattern", pattern));
  return re;
}

// Reads a whole Matches collection back through Count, Item, Value, FirstIndex, Length and
// SubMatches.
std::vector<Found> read_matches(const ObjectRef& matches) {
  std::vector<Found> result;
  const auto count = integer(matches->get("Count"));
  EXPECT_TRUE(count.has_value());
  for (std::int64_t i = 0; i < count.value_or(0); ++i) {
    const auto item = matches->get("Item", {i});
    const ObjectRef match = item ? item->object() : nullptr;
    if (!match) {
      ADD_FAILURE() << "Item " << i << " of " << *count;
      break;
    }
    Found found;
    const auto value = match->get("Value");
    if (value && value->text()) found.value = *value->text();
    found.first_index = integer(match->get("FirstIndex")).value_or(-1);
    EXPECT_EQ(integer(match->get("Length")), static_cast<std::int64_t>(found.value.size()));
    const auto sub = match->get("SubMatches");
    const ObjectRef submatches = sub ? sub->object() : nullptr;
    EXPECT_TRUE(submatches);
    if (!submatches) break;
    const std::int64_t groups = integer(submatches->get("Count")).value_or(0);
    for (std::int64_t j = 0; j < groups; ++j) {
      const auto g = submatches->get("Item", {j});
      EXPECT_TRUE(g && (g->is_empty() || g->text()));
      found.groups.push_back(g && g->text() ? Group(*g->text()) : kUnset);
    }
    result.push_back(std::move(found));
  }
  return result;
}

// nullopt when Execute failed.
std::optional<std::vector<Found>> execute(const std::u16string& pattern,
                                          const std::u16string& subject, unsigned flags) {
  const ObjectRef re = make_regexp(pattern, flags);
  const auto result = re->call("Execute", {Value(subject)});
  if (!result) return std::nullopt;
  const ObjectRef matches = result->object();
  EXPECT_TRUE(matches) << "Execute succeeded without a collection";
  if (!matches) return std::nullopt;
  return read_matches(matches);
}

struct MatchCase {
  const char* name;
  std::u16string pattern;
  std::u16string subject;
  unsigned flags;
  std::vector<Found> expected;
};

void PrintTo(const MatchCase& c, std::ostream* os) {
  *os << c.name;
}

class RegExpMatches : public testing::TestWithParam<MatchCase> {};

TEST_P(RegExpMatches, GivesJavaScriptResults) {
  const MatchCase& c = GetParam();
  const auto found = execute(c.pattern, c.subject, c.flags);
  ASSERT_TRUE(found.has_value()) << "Execute failed";
  EXPECT_EQ(*found, c.expected);
}

const MatchCase kMatchCases[] = {
    // . stops at the four line terminators only.
    {"dot_skips_line_terminators",
     u"a.c",
     u"a\rc a\nc a\u2028c a\u2029c a\u3000c",
     kGlobal,
     {{u"a\u3000c", 16}}},
    {"dot_takes_whole_chinese_characters",
     u".+",
     u"中文\r\nab",
     kGlobal,
     {{u"中文", 0}, {u"ab", 4}}},
    // \s is JavaScript's white space, inside classes too; \S its complement.
    {"space_set",
     u"\\s+",
     u"a\u3000\u00a0b\ufeffc\u2028\td\u1680e\u200a\u202f\u205ff",
     kGlobal,
     {{u"\u3000\u00a0", 1},
      {u"\ufeff", 4},
      {u"\u2028\t", 6},
      {u"\u1680", 9},
      {u"\u200a\u202f\u205f", 11}}},
    {"space_excludes_other_format_characters", u"\\s", u"\u0085\u200b\u180e", kGlobal, {}},
    {"not_space", u"\\S+", u"中\u3000文 x", kGlobal, {{u"中", 0}, {u"文", 2}, {u"x", 4}}},
    {"space_inside_class", u"[\\s\\d]+", u"a1\u3000 2b", kGlobal, {{u"1\u3000 2", 1}}},
    {"negated_space_inside_class", u"[^\\s]+", u"中\u3000文", kGlobal, {{u"中", 0}, {u"文", 2}}},
    // \d, \w and \b are ASCII only.
    {"digits_ascii_only", u"\\d+", u"12\uff13\uff145", kGlobal, {{u"12", 0}, {u"5", 4}}},
    {"word_ascii_only", u"\\w+", u"abc中文_9\u00e9", kGlobal, {{u"abc", 0}, {u"_9", 5}}},
    {"word_boundary_ascii_only", u"\\b\\w", u"中a \u00e9 b", kGlobal, {{u"a", 1}, {u"b", 5}}},
    {"not_word_boundary", u"\\B\\w", u"ab c", kGlobal, {{u"b", 1}}},
    // \u and \x escapes, and their literal readings when the digits are missing.
    {"chinese_range",
     u"[\\u4e00-\\u9fa5]+",
     u"abc中文def汉字",
     kGlobal,
     {{u"中文", 3}, {u"汉字", 8}}},
    {"unicode_and_hex_escapes", u"\\u4e2d\\x41", u"中A", kNone, {{u"中A", 0}}},
    {"hex_range_in_class", u"[\\x41-\\x43]+", u"ABCD", kNone, {{u"ABC", 0}}},
    {"short_unicode_escape_is_u", u"\\u12g\\xg", u"u12gxg", kNone, {{u"u12gxg", 0}}},
    {"braced_unicode_escape_repeats_u", u"\\u{2}", u"uuu", kNone, {{u"uu", 0}}},
    // ^ and $ with Multiline: at \n, \r, U+2028, U+2029, and between \r and \n.
    {"caret_multiline",
     u"^\\w*",
     u"ab\r\ncd\u2028ef",
     kGlobal | kMultiline,
     {{u"ab", 0}, {u"", 3}, {u"cd", 4}, {u"ef", 7}}},
    {"dollar_multiline",
     u"\\w+$",
     u"ab\r\ncd\u2029ef",
     kGlobal | kMultiline,
     {{u"ab", 0}, {u"cd", 4}, {u"ef", 7}}},
    {"dollar_alone_multiline",
     u"$",
     u"a\r\nb",
     kGlobal | kMultiline,
     {{u"", 1}, {u"", 2}, {u"", 4}}},
    {"caret_without_multiline", u"^\\w+", u"ab\ncd", kGlobal, {{u"ab", 0}}},
    {"dollar_not_before_final_newline", u"\\w+$", u"ab\ncd\n", kGlobal, {}},
    {"dollar_at_end", u"\\w+$", u"ab\ncd", kGlobal, {{u"cd", 3}}},
    // IgnoreCase folds as JavaScript's Canonicalize: upper case, never non-ASCII onto ASCII.
    {"ignore_case_ascii", u"abc", u"ABC aBc", kGlobal | kIgnoreCase, {{u"ABC", 0}, {u"aBc", 4}}},
    {"ignore_case_greek_sigma",
     u"\u03c3+",
     u"\u03a3\u03c3\u03c2S",
     kIgnoreCase,
     {{u"\u03a3\u03c3\u03c2", 0}}},
    {"ignore_case_full_width", u"\uff41", u"\uff21", kIgnoreCase, {{u"\uff21", 0}}},
    {"ignore_case_latin_range",
     u"[\u00e0-\u00f6]+",
     u"\u00c0\u00d6x",
     kIgnoreCase,
     {{u"\u00c0\u00d6", 0}}},
    {"ignore_case_long_s_stays_apart",
     u"s",
     u"sS\u017f",
     kGlobal | kIgnoreCase,
     {{u"s", 0}, {u"S", 1}}},
    {"ignore_case_kelvin_stays_apart", u"k", u"\u212a", kIgnoreCase, {}},
    {"ignore_case_negated_class", u"[^a]", u"aAb", kGlobal | kIgnoreCase, {{u"b", 2}}},
    {"ignore_case_backreference", u"(a)\\1", u"aA", kIgnoreCase, {{u"aA", 0, {u"a"}}}},
    {"ignore_case_backreference_cyrillic",
     u"(\u0431)\\1",
     u"\u0431\u0411",
     kIgnoreCase,
     {{u"\u0431\u0411", 0, {u"\u0431"}}}},
    {"case_sensitive_by_default", u"abc", u"ABC", kNone, {}},
    // Global: all matches in order, one unit further after an empty match.
    {"global_empty_matches", u"x*", u"axb", kGlobal, {{u"", 0}, {u"x", 1}, {u"", 2}, {u"", 3}}},
    {"global_empty_subject", u"x*", u"", kGlobal, {{u"", 0}}},
    {"global_word_boundaries", u"\\b", u"ab cd", kGlobal, {{u"", 0}, {u"", 2}, {u"", 3}, {u"", 5}}},
    {"non_global_first_match_only", u"\\d", u"a1b2", kNone, {{u"1", 1}}},
    // Groups that take no part give an empty value; back-references to them match empty.
    {"unset_alternative_groups",
     u"(a)|(b)",
     u"ab",
     kGlobal,
     {{u"a", 0, {u"a", kUnset}}, {u"b", 1, {kUnset, u"b"}}}},
    {"unset_optional_group", u"(a)?b", u"b", kNone, {{u"b", 0, {kUnset}}}},
    {"empty_group_is_not_unset", u"(a*)b", u"b", kNone, {{u"b", 0, {u""}}}},
    {"backreference_to_unset_group", u"(a)?b\\1c", u"bc", kNone, {{u"bc", 0, {kUnset}}}},
    {"forward_reference", u"\\1(a)", u"a", kNone, {{u"a", 0, {u"a"}}}},
    {"backreference", u"(\\w)\\1", u"abba", kNone, {{u"bb", 1, {u"b"}}}},
    // Without that many groups \N is a legacy octal escape, \8 the digit.
    {"octal_without_groups", u"\\1a", u"\u0001a", kNone, {{u"\u0001a", 0}}},
    {"octal_beyond_groups", u"(a)\\2", u"a\u0002", kNone, {{u"a\u0002", 0, {u"a"}}}},
    {"octal_in_class", u"[\\101]", u"A", kNone, {{u"A", 0}}},
    {"eight_is_digit", u"\\8", u"8", kNone, {{u"8", 0}}},
    {"control_letter", u"\\cJ", u"\n", kNone, {{u"\n", 0}}},
    {"backslash_c_without_letter", u"\\c1", u"\\c1", kNone, {{u"\\c1", 0}}},
    {"backspace_in_class", u"[\\b]", u"\b", kNone, {{u"\b", 0}}},
    // [] matches nothing, [^] anything; ] right after [ closes the class.
    {"empty_class", u"a[]b", u"ab", kNone, {}},
    {"empty_class_then_bracket", u"[]a]", u"a]", kNone, {}},
    {"negated_empty_class", u"a[^]b", u"a\nb", kNone, {{u"a\nb", 0}}},
    {"class_escape_ends_no_range", u"[\\d-z]+", u"1-z", kNone, {{u"1-z", 0}}},
    {"dash_at_class_end", u"[a-]+", u"a-", kNone, {{u"a-", 0}}},
    // Lazy quantifiers, non-capturing groups, lookahead.
    {"lazy", u"<.+?>", u"<a><b>", kGlobal, {{u"<a>", 0}, {u"<b>", 3}}},
    {"lazy_optional", u"ab??", u"ab", kNone, {{u"a", 0}}},
    {"bounded_repeat", u"a{2,3}", u"aaaaa", kGlobal, {{u"aaa", 0}, {u"aa", 3}}},
    {"non_capturing", u"(?:ab)+(c)", u"ababc", kNone, {{u"ababc", 0, {u"c"}}}},
    {"lookahead", u"\\d+(?=%)", u"10 20%", kGlobal, {{u"20", 3}}},
    {"negative_lookahead", u"\\d+(?!%)", u"10 20%", kGlobal, {{u"10", 0}, {u"2", 3}}},
    {"lookahead_capture_kept", u"(?=(a))a", u"a", kNone, {{u"a", 0, {u"a"}}}},
    // Braces and brackets that cannot be syntax are literal; \/ is a slash.
    {"brace_not_quantifier", u"a{,2}x{a}", u"a{,2}x{a}", kNone, {{u"a{,2}x{a}", 0}}},
    {"closing_bracket_and_brace", u"a]}", u"a]}", kNone, {{u"a]}", 0}}},
    {"identity_escapes", u"\\/\\.\\k\\z", u"/.kz", kNone, {{u"/.kz", 0}}},
    // The program's patterns.
    {"shop_start_date",
     u"id=\\\"J_showShopStartDate\\\" value=\\\"(.*)\\\" />",
     u"<input id=\"J_showShopStartDate\" value=\"2008-01-02\" />\r\n",
     kGlobal,
     {{u"id=\"J_showShopStartDate\" value=\"2008-01-02\" />", 7, {u"2008-01-02"}}}},
    {"certification_block",
     u"<!--认证标志-->[\\s\\S]*?([\\u4e00-\\u9fa5]+)[\\s\\S]*?<!--商城及地域的标志-->",
     u"x<!--认证标志-->\r\n <b>个人认证</b>\r\n<!--商城及地域的标志-->",
     kGlobal,
     {{u"<!--认证标志-->\r\n <b>个人认证</b>\r\n<!--商城及地域的标志-->", 1, {u"个人认证"}}}},
    {"good_rate",
     u"好评率：(\\d.*)%",
     u"<em>好评率：99.5%</em>",
     kGlobal,
     {{u"好评率：99.5%", 4, {u"99.5"}}}},
    {"dates",
     u"\\d+年\\d+月\\d+日",
     u"2009年1月2日 至 2010年12月31日",
     kGlobal,
     {{u"2009年1月2日", 0}, {u"2010年12月31日", 12}}},
    {"max_page",
     u"\\\"maxPage\\\":(\\d+)",
     u"{\"maxPage\":12,",
     kGlobal,
     {{u"\"maxPage\":12", 1, {u"12"}}}},
};

INSTANTIATE_TEST_SUITE_P(Table, RegExpMatches, testing::ValuesIn(kMatchCases),
                         [](const testing::TestParamInfo<MatchCase>& param) {
                           return std::string(param.param.name);
                         });

// Syntax that ES3-style JavaScript lacks, or that is wrong in it, fails Execute.
class RegExpSyntaxError : public testing::TestWithParam<std::u16string> {};

TEST_P(RegExpSyntaxError, ExecuteFails) {
  EXPECT_FALSE(execute(GetParam(), u"ab(a)b<n>a", kGlobal).has_value());
}

INSTANTIATE_TEST_SUITE_P(Table, RegExpSyntaxError,
                         testing::Values(u"(?<=a)b", u"(?<!a)b", u"(?<n>a)", u"(?i)a", u"(?i:a)",
                                         u"(?>a)", u"(?#c)", u"(?P<n>a)", u"(?|a)", u"a*+", u"a++",
                                         u"a?+", u"a**", u"*a", u"+", u"a|?", u"a{2}{3}", u"{2}",
                                         u"a{3,2}", u"^*", u"$+", u"\\b+", u"(a", u"a)", u"[a",
                                         u"[z-a]", u"\\", u"a\\", u"\\p{L}", u"\\P{Lu}",
                                         u"[\\p{L}]"));

TEST(RegExp, RunawayPatternFailsInsteadOfHanging) {
  EXPECT_FALSE(execute(u"(x+x+)+[yz]", std::u16string(40, u'x'), kNone).has_value());
}

TEST(RegExp, MatchLimitInTheMiddleOfGlobalFailsTheWholeExecute) {
  EXPECT_FALSE(
      execute(u"(x+x+)+[yz]|a", u"aa" + std::u16string(40, u'x') + u"a", kGlobal).has_value());
}

TEST(RegExp, MemberNamesIgnoreCase) {
  const ObjectRef re = posix::make_regexp();
  ASSERT_TRUE(re->put("pattern", u"(b)"));
  ASSERT_TRUE(re->put("GLOBAL", true));
  const auto result = re->call("eXeCuTe", {Value(u"abab")});
  ASSERT_TRUE(result && result->object());
  const ObjectRef matches = result->object();
  EXPECT_EQ(integer(matches->get("COUNT")), 2);
  const auto item = matches->get("item", {1});
  ASSERT_TRUE(item && item->object());
  EXPECT_EQ(integer(item->object()->get("firstindex")), 3);
  const auto sub = item->object()->get("submatches");
  ASSERT_TRUE(sub && sub->object());
  const auto group = sub->object()->get("ITEM", {0});
  ASSERT_TRUE(group && group->text());
  EXPECT_EQ(*group->text(), u"b");
}

TEST(RegExp, PropertiesReadBackWhatWasWritten) {
  const ObjectRef re = make_regexp(u"a+", kGlobal | kMultiline);
  const auto pattern = re->get("Pattern");
  ASSERT_TRUE(pattern && pattern->text());
  EXPECT_EQ(*pattern->text(), u"a+");
  EXPECT_EQ(boolean(re->get("Global")), true);
  EXPECT_EQ(boolean(re->get("IgnoreCase")), false);
  EXPECT_EQ(boolean(re->get("Multiline")), true);
}

TEST(RegExp, ChangingThePatternTakesEffect) {
  const ObjectRef re = make_regexp(u"a", kNone);
  ASSERT_TRUE(re->call("Execute", {Value(u"ab")}));
  ASSERT_TRUE(re->put("Pattern", u"b"));
  const auto result = re->call("Execute", {Value(u"ab")});
  ASSERT_TRUE(result && result->object());
  EXPECT_EQ(read_matches(result->object()), (std::vector<Found>{{u"b", 1}}));
}

TEST(RegExp, TestTellsWhetherThePatternMatches) {
  const ObjectRef re = make_regexp(u"\\d", kNone);
  EXPECT_EQ(boolean(re->call("Test", {Value(u"a1")})), true);
  EXPECT_EQ(boolean(re->call("Test", {Value(u"ab")})), false);
  ASSERT_TRUE(re->put("Pattern", u"(?<=a)"));
  EXPECT_FALSE(re->call("Test", {Value(u"a")}));
}

TEST(RegExp, UnknownMembersAndWrongArgumentsFail) {
  const ObjectRef re = posix::make_regexp();
  EXPECT_FALSE(re->put("Pattern", 5));
  EXPECT_FALSE(re->put("Global", Value(u"true")));
  EXPECT_FALSE(re->put("Source", u"a"));
  EXPECT_FALSE(re->call("Execute", {}));
  EXPECT_FALSE(re->call("Execute", {Value(1)}));
  EXPECT_FALSE(re->call("Execute", {Value(u"a"), Value(u"b")}));
  EXPECT_FALSE(re->put("Execute", u"a"));
  EXPECT_FALSE(re->call("Exec", {Value(u"a")}));
}

TEST(RegExp, ItemsBeyondTheCollectionsFail) {
  const ObjectRef re = make_regexp(u"(a)(b)?", kGlobal);
  const auto result = re->call("Execute", {Value(u"a-a")});
  ASSERT_TRUE(result && result->object());
  const ObjectRef matches = result->object();
  ASSERT_EQ(integer(matches->get("Count")), 2);
  EXPECT_FALSE(matches->get("Item", {2}));
  EXPECT_FALSE(matches->get("Item", {-1}));
  EXPECT_FALSE(matches->get("Item", {Value(u"0")}));
  EXPECT_FALSE(matches->get("Item"));
  const ObjectRef match = matches->get("Item", {1})->object();
  ASSERT_TRUE(match);
  EXPECT_FALSE(match->get("Nothing"));
  const ObjectRef submatches = match->get("SubMatches")->object();
  ASSERT_TRUE(submatches);
  EXPECT_EQ(integer(submatches->get("Count")), 2);
  EXPECT_TRUE(submatches->get("Item", {1})->is_empty());
  EXPECT_FALSE(submatches->get("Item", {2}));
  EXPECT_FALSE(submatches->get("Item", {-1}));
}

TEST(RegExp, NoMatchGivesAnEmptyCollection) {
  const ObjectRef re = make_regexp(u"z", kGlobal);
  const auto result = re->call("Execute", {Value(u"abc")});
  ASSERT_TRUE(result && result->object());
  EXPECT_EQ(integer(result->object()->get("Count")), 0);
  EXPECT_FALSE(result->object()->get("Item", {0}));
}

TEST(RegExp, MatchesOutliveTheirRegExp) {
  ObjectRef matches;
  {
    const ObjectRef re = make_regexp(u"中(.)", kGlobal);
    const auto result = re->call("Execute", {Value(u"中文中国")});
    ASSERT_TRUE(result && result->object());
    matches = result->object();
  }
  EXPECT_EQ(read_matches(matches),
            (std::vector<Found>{{u"中文", 0, {u"文"}}, {u"中国", 2, {u"国"}}}));
}

} // namespace
} // namespace zembrik
