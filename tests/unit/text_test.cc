// The GBK text helpers, the account-name encoding and the text between two markers.
#include <gtest/gtest.h>

#include <cmath>

#include "text/match_set.h"
#include "text/text.h"
#include "web/web.h"

namespace zembrik {
namespace {

Text raw(std::string bytes) { return Text(std::move(bytes)); }

TEST(TextSearch, TriesOnlyCharacterStarts) {
  struct Case {
    std::string haystack;
    std::string needle;
    std::int64_t expected;
  };
  const Case cases[] = {
      {"abc", "c", 3},
      {"abc", "", 1},
      {"abc", "abcd", -1},
      // D6 D0 is one character: its trail byte D0 is never a start.
      {"\xD6\xD0\xD0\xC4", "\xD0\xC4", 3},
      {"\xD6\xD0", "\xD0", -1},
      // 81 40 is a character whose trail byte is "@": "@" is not found inside it.
      {"\x81\x40", "@", -1},
      {"x\x81\x40@", "@", 4},
      {"ABC", "abc", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(find_text(raw(c.haystack), raw(c.needle)), c.expected) << c.haystack;
  }
}

TEST(TextSearch, IgnoringCaseFoldsOnlyAsciiLetters) {
  EXPECT_EQ(find_text_ignore_case(raw("xxTMALL-pro"), raw("tmall-PRO")), 3);
  EXPECT_EQ(find_text_ignore_case(raw("[a]"), raw("{A}")), -1);
  EXPECT_EQ(find_text_ignore_case(gbk("最新版本→"), gbk("最新版本→")), 1);
}

TEST(Trim, RemovesOnlyAsciiAndFullWidthSpaces) {
  struct Case {
    std::string utf8;
    std::string expected;
  };
  const Case cases[] = {
      {"  name　", "name"}, {"　　", ""}, {"\tname\t", "\tname\t"}, {" 中 文 ", "中 文"}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(trim(gbk(c.utf8)), gbk(c.expected)) << c.utf8;
}

TEST(Trim, SeesFullWidthSpacesOnlyAtCharacterStarts) {
  // B0 A1 is one character; the A1 A1 after it is a full-width space.
  EXPECT_EQ(trim(raw("\xB0\xA1\xA1\xA1")), raw("\xB0\xA1"));
  // C1 A1 then a lone A1: the last two bytes A1 A1 straddle a character and are no space.
  EXPECT_EQ(trim(raw("\xC1\xA1\xA1")), raw("\xC1\xA1\xA1"));
}

TEST(NumberOfText, ReadsTheLeadingDecimalNumber) {
  struct Case {
    std::string utf8;
    double expected;
  };
  const Case cases[] = {{"12", 12},     {"12abc", 12}, {"", 0},          {"abc", 0},
                        {" 12", 0},     {"１２３", 123}, {"98.87%", 98.87}, {"-3", -3},
                        {"≥200", 0},   {"007", 7}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(number_of(gbk(c.utf8)), c.expected) << c.utf8;
  EXPECT_TRUE(std::isinf(number_of(Text(std::string(400, '9')))));
}

TEST(PageText, EndsBeforeTheFirstNul) {
  EXPECT_EQ(page_text(Bytes{'a', 'b', 0, 'c'}), raw("ab"));
  EXPECT_EQ(page_text(Bytes{}), raw(""));
  EXPECT_EQ(page_text(Bytes{0xD6, 0xD0}), raw("\xD6\xD0"));
}

TEST(UrlEncodeAccount, EscapesEveryByteOutsideTheSafeSet) {
  struct Case {
    std::string name;
    std::string expected;
  };
  const Case cases[] = {
      {"", ""},
      {"ab \xD6\xD0", "ab%20%D6%D0"},
      {"a+b", "a%2Bb"},
      {"a~b", "a%7Eb"},
      {"x,y/z", "x,y/z"},
      {"AZaz09@*,-./_", "AZaz09@*,-./_"},
      {"\x81\x40", "%81@"},
      {std::string("\x0A\x7F\xFF", 3), "%0A%7F%FF"},
      {"%&#?:;<=>[\\]^`{|}\"'()!$", "%25%26%23%3F%3A%3B%3C%3D%3E%5B%5C%5D%5E%60%7B%7C%7D%22%27%28%29%21%24"},
  };
  for (const auto& c : cases) EXPECT_EQ(url_encode_account(raw(c.name)), raw(c.expected)) << c.name;
}

TEST(UrlEncodeAccount, KeepsExactly69ByteValues) {
  int kept = 0;
  for (int b = 0; b < 256; ++b) {
    const Text out = url_encode_account(raw(std::string(1, static_cast<char>(b))));
    if (out.size() == 1) ++kept;
    else EXPECT_EQ(out.size(), 3u) << b;
  }
  EXPECT_EQ(kept, 69);
}

TEST(TextBetween, CutsThePieceAfterTheFirstLeftMarker) {
  struct Case {
    std::string text;
    std::string left;
    std::string right;
    std::string expected;
  };
  const Case cases[] = {
      {"<a>Hello</a>", "<A>", "</A>", "Hello"},
      {"<A>Hello</A>", "<a>", "</a>", "Hello"},
      {"LR", "L", "R", ""},
      {"xxL", "L", "R", ""},
      {"L1L2R", "L", "R", "1L2"},
      {"R L x", "L", "R", ""},
      {"", "L", "R", ""},
      {"☆☆☆☆☆最新版本→ v1.0 ←最新版本☆☆☆☆☆", "☆☆☆☆☆最新版本→", "←最新版本☆☆☆☆☆", " v1.0 "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text_between(gbk(c.text), gbk(c.left), gbk(c.right)), gbk(c.expected)) << c.text;
  }
}

TEST(TextBetween, NeverFindsAMarkerOnASecondByte) {
  // "\xA1\xEE" is ☆; in "\xB0\xA1\xEE..." the bytes A1 EE straddle two characters.
  const Text text = raw("\xB0\xA1\xEE" "X" "\xA1\xEE" "Y!");
  EXPECT_EQ(text_between(text, raw("\xA1\xEE"), raw("!")), raw("Y"));
}

} // namespace
} // namespace zembrik
