#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/posix/posix_platform.h"

namespace {

using namespace std::string_view_literals;

const zembrik::CodePage& cp() {
  return zembrik::posix::code_page_936();
}

bool is_lead(unsigned byte) {
  return byte >= 0x81 && byte <= 0xFE;
}
bool is_trail(unsigned byte) {
  return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

std::string pair_bytes(unsigned lead, unsigned trail) {
  return {static_cast<char>(lead), static_cast<char>(trail)};
}

// Every valid two-byte code in code order.
std::vector<std::string> all_pairs() {
  std::vector<std::string> pairs;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail)
      if (is_trail(trail)) pairs.push_back(pair_bytes(lead, trail));
  return pairs;
}

std::string hex(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const auto b = static_cast<unsigned char>(c);
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
    out += ' ';
  }
  return out;
}

std::string hex(std::u16string_view units) {
  std::string out;
  for (const char16_t u : units) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4)
      out += kDigits[(u >> shift) & 0xF];
    out += ' ';
  }
  return out;
}

struct DecodeCase {
  const char* name;
  std::string_view gbk;
  std::u16string_view utf16;
  friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};

class Decode : public testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, GivesTheWindowsCharacters) {
  const DecodeCase& c = GetParam();
  EXPECT_EQ(hex(cp().to_utf16(c.gbk)), hex(c.utf16)) << c.name << ": " << hex(c.gbk);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    CodePage936, Decode,
    testing::Values(
        DecodeCase{"euro", "\x80"sv, u"\u20AC"},
        DecodeCase{"byte FF", "\xFF"sv, u"\uF8F5"},
        DecodeCase{"embedded NUL", "a\0b"sv, u"a\0b"sv},
        DecodeCase{"zhong", "\xD6\xD0"sv, u"\u4E2D"},
        DecodeCase{"ideographic space", "\xA1\xA1"sv, u"\u3000"},
        DecodeCase{"middle dot", "\xA1\xA4"sv, u"\u00B7"},
        DecodeCase{"em dash", "\xA1\xAA"sv, u"\u2014"},
        DecodeCase{"black circle", "\xA1\xF1"sv, u"\u25CF"},
        DecodeCase{"upwards arrow", "\xA1\xFC"sv, u"\u2191"},
        DecodeCase{"greater or equal", "\xA1\xDD"sv, u"\u2265"},
        DecodeCase{"white star", "\xA1\xEE"sv, u"\u2606"},
        DecodeCase{"gai simplified", "\xB8\xC3"sv, u"\u8BE5"},
        DecodeCase{"gai traditional", "\xD4\x93"sv, u"\u8A72"},
        DecodeCase{"first code", "\x81\x40"sv, u"\u4E02"},
        DecodeCase{"trail 80", "\x81\x80"sv, u"\u4E90"},
        DecodeCase{"mixed text", "id=\xD6\xD0\x80;"sv, u"id=\u4E2D\u20AC;"},
        // The user-defined areas, row by row.
        DecodeCase{"AAA1", "\xAA\xA1"sv, u"\uE000"}, DecodeCase{"AAFE", "\xAA\xFE"sv, u"\uE05D"},
        DecodeCase{"ABA1", "\xAB\xA1"sv, u"\uE05E"}, DecodeCase{"AFFE", "\xAF\xFE"sv, u"\uE233"},
        DecodeCase{"F8A1", "\xF8\xA1"sv, u"\uE234"}, DecodeCase{"FEFE", "\xFE\xFE"sv, u"\uE4C5"},
        DecodeCase{"A140", "\xA1\x40"sv, u"\uE4C6"}, DecodeCase{"A17E", "\xA1\x7E"sv, u"\uE504"},
        DecodeCase{"A180", "\xA1\x80"sv, u"\uE505"}, DecodeCase{"A1A0", "\xA1\xA0"sv, u"\uE525"},
        DecodeCase{"A240", "\xA2\x40"sv, u"\uE526"}, DecodeCase{"A7A0", "\xA7\xA0"sv, u"\uE765"},
        // Codes GBK leaves empty, numbered on from U+E766 in code order as Windows does.
        DecodeCase{"A2AB", "\xA2\xAB"sv, u"\uE766"}, DecodeCase{"A2E3", "\xA2\xE3"sv, u"\uE76C"},
        DecodeCase{"A8BC", "\xA8\xBC"sv, u"\uE7C7"}, DecodeCase{"D7FA", "\xD7\xFA"sv, u"\uE810"},
        DecodeCase{"FEA0", "\xFE\xA0"sv, u"\uE864"},
        // A lead byte without a valid trail byte is "?" alone; the next byte stands for itself.
        DecodeCase{"trail below 40", "\x81\x20"sv, u"? "},
        DecodeCase{"trail NUL", "\xD6\0A"sv, u"?\0A"sv},
        DecodeCase{"trail 7F", "\xD6\x7F"sv, u"?\x7F"},
        DecodeCase{"trail FF", "\xD6\xFF"sv, u"?\uF8F5"},
        DecodeCase{"lead at end", "ab\xD6"sv, u"ab?"}, DecodeCase{"lead alone", "\xFE"sv, u"?"},
        DecodeCase{"lead after a pair", "\xD6\xD6\xD0"sv, u"\u79CD?"},
        DecodeCase{"two stray leads", "\xD6\x0A\xD0\x0A"sv, u"?\n?\n"},
        DecodeCase{"empty", ""sv, u""}));
// clang-format on

struct EncodeCase {
  const char* name;
  std::u16string_view utf16;
  std::string_view gbk;
  friend void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }
};

class Encode : public testing::TestWithParam<EncodeCase> {};

TEST_P(Encode, GivesTheWindowsBytes) {
  const EncodeCase& c = GetParam();
  EXPECT_EQ(hex(cp().from_utf16(c.utf16)), hex(c.gbk)) << c.name << ": " << hex(c.utf16);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    CodePage936, Encode,
    testing::Values(
        EncodeCase{"NUL", u"\0"sv, "\0"sv},
        EncodeCase{"euro", u"\u20AC", "\x80"sv},
        EncodeCase{"F8F5", u"\uF8F5", "\xFF"sv},
        EncodeCase{"zhong", u"\u4E2D\u6587", "\xD6\xD0\xCE\xC4"sv},
        EncodeCase{"middle dot", u"\u00B7", "\xA1\xA4"sv},
        EncodeCase{"PUA first", u"\uE000", "\xAA\xA1"sv},
        EncodeCase{"PUA last user-defined", u"\uE765", "\xA7\xA0"sv},
        EncodeCase{"PUA last", u"\uE864", "\xFE\xA0"sv},
        EncodeCase{"PUA beyond", u"\uE865", "?"sv},
        EncodeCase{"Thai", u"\u0E01", "?"sv},
        EncodeCase{"Hangul", u"a\uAC00b", "a?b"sv},
        EncodeCase{"replacement character", u"\uFFFD", "?"sv},
        // Windows' best fit for characters that have a near equivalent in the code page.
        EncodeCase{"yen sign", u"\u00A5", "\xA3\xA4"sv},
        EncodeCase{"superscript two", u"\u00B2", "2"sv},
        EncodeCase{"compatibility ideograph", u"\uF90A", "\xBD\xF0"sv},
        // Nothing beyond the BMP is in the code page: one "?" per character.
        EncodeCase{"surrogate pair", u"x\U0001F600y", "x?y"sv},
        EncodeCase{"lone high surrogate", u"x\xD83Dy", "x?y"sv},
        EncodeCase{"high surrogate at end", u"x\xD83D", "x?"sv},
        EncodeCase{"lone low surrogate", u"x\xDE00y", "x?y"sv},
        EncodeCase{"pair in wrong order", u"\xDE00\xD83D", "??"sv},
        EncodeCase{"empty", u"", ""sv}));
// clang-format on

TEST(CodePage936, AsciiIsOneToOne) {
  std::string bytes;
  std::u16string units;
  for (unsigned b = 0; b < 0x80; ++b) {
    bytes += static_cast<char>(b);
    units += static_cast<char16_t>(b);
  }
  EXPECT_EQ(cp().to_utf16(bytes), units);
  EXPECT_EQ(cp().from_utf16(units), bytes);
}

TEST(CodePage936, EveryValidPairIsOneCharacterThatConvertsBack) {
  for (const std::string& pair : all_pairs()) {
    const std::u16string units = cp().to_utf16(pair);
    ASSERT_EQ(units.size(), 1u) << hex(pair);
    ASSERT_NE(units[0], u'?') << hex(pair);
    ASSERT_EQ(hex(cp().from_utf16(units)), hex(pair));
  }
}

TEST(CodePage936, AllPairsInOneTextRoundTrip) {
  std::string text;
  for (const std::string& pair : all_pairs())
    text += pair + "a";
  const std::u16string units = cp().to_utf16(text);
  EXPECT_EQ(units.size(), all_pairs().size() * 2);
  EXPECT_EQ(cp().from_utf16(units), text);
}

// Two bytes are either one valid pair or each byte converted on its own: no byte is ever
// swallowed. A lone byte is "?" exactly when it is a lead byte.
TEST(CodePage936, NoByteIsLost) {
  std::array<std::u16string, 256> single;
  for (unsigned b = 0; b < 256; ++b) {
    single[b] = cp().to_utf16(std::string(1, static_cast<char>(b)));
    ASSERT_EQ(single[b].size(), 1u) << b;
    EXPECT_EQ(single[b] == u"?", is_lead(b) || b == '?') << b;
  }
  for (unsigned first = 0; first < 256; ++first)
    for (unsigned second = 0; second < 256; ++second) {
      const std::u16string units = cp().to_utf16(pair_bytes(first, second));
      if (is_lead(first) && is_trail(second))
        ASSERT_EQ(units.size(), 1u) << first << ' ' << second;
      else
        ASSERT_EQ(units, single[first] + single[second]) << first << ' ' << second;
    }
}

// Where glibc's GBK has a character the code page gives the same one; everything glibc lacks
// is in the Private Use Area.
TEST(CodePage936, AgreesWithGlibcGbk) {
  iconv_t cd = iconv_open("UTF-16LE", "GBK");
  if (cd == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "glibc has no GBK converter here";
  auto glibc = [&](std::string pair) -> std::optional<char16_t> {
    std::array<char, 8> out{};
    char* in_ptr = pair.data();
    char* out_ptr = out.data();
    std::size_t in_left = pair.size();
    std::size_t out_left = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1) ||
        out.size() - out_left != 2)
      return std::nullopt;
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                 static_cast<unsigned char>(out[1]) << 8);
  };
  for (const std::string& pair : all_pairs()) {
    const char16_t ours = cp().to_utf16(pair).at(0);
    if (const auto theirs = glibc(pair)) {
      EXPECT_EQ(hex(std::u16string(1, ours)), hex(std::u16string(1, *theirs))) << hex(pair);
    } else {
      EXPECT_TRUE(ours >= 0xE000 && ours <= 0xE864) << hex(pair);
    }
  }
  iconv_close(cd);
}

TEST(CodePage936, ConvertsOnManyThreadsAtOnce) {
  std::string text;
  for (const std::string& pair : all_pairs())
    text += pair + "<br>";
  const std::u16string expected_units = cp().to_utf16(text);
  std::vector<std::thread> threads;
  std::array<bool, 4> ok{};
  for (std::size_t t = 0; t < ok.size(); ++t)
    threads.emplace_back([&, t] {
      bool all = true;
      for (int i = 0; i < 20; ++i) {
        const std::u16string units = cp().to_utf16(text);
        all = all && units == expected_units && cp().from_utf16(units) == text;
      }
      ok[t] = all;
    });
  for (std::thread& thread : threads)
    thread.join();
  for (const bool b : ok)
    EXPECT_TRUE(b);
}

} // namespace
