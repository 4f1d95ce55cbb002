#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "text/bytes.h"

namespace zembrik {

// A text of the program: bytes in code page 936 (GBK). Positions count bytes from 1; a search
// that finds nothing gives -1. A distinct type so that UTF-8 and GBK cannot be mixed silently.
struct Text {
  std::string bytes;

  Text() = default;
  explicit Text(std::string gbk_bytes) : bytes(std::move(gbk_bytes)) {}

  [[nodiscard]] bool empty() const { return bytes.empty(); }
  [[nodiscard]] std::size_t size() const { return bytes.size(); }

  Text& operator+=(const Text& other) {
    bytes += other.bytes;
    return *this;
  }
  friend Text operator+(Text left, const Text& right) { return left += right; }
  friend bool operator==(const Text&, const Text&) = default;
};

// The GBK form of a UTF-8 constant of the program, converted with the installed code page.
Text gbk(std::string_view utf8);
// The UTF-8 form of a GBK text, for output that is not the window (tools, test messages).
std::string to_utf8(const Text& text);

// A text as it crosses into an automation component (UTF-16 through the code page), and back.
std::u16string to_wide(const Text& text);
Text from_wide(std::u16string_view wide);

// UTF-8 <-> UTF-16, pure; malformed UTF-8 becomes U+FFFD.
std::u16string utf8_to_utf16(std::string_view utf8);
std::string utf16_to_utf8(std::u16string_view utf16);

// Body bytes taken as text without any change of character set, ending before the first NUL.
Text page_text(const Bytes& body);

// Whether the byte starts a two-byte GBK character (80 hex or more).
constexpr bool is_lead_byte(unsigned char byte) { return byte >= 0x80; }

// Searches `needle` in `haystack` trying only character starts, comparing bytes exactly.
// Gives the 1-based position of the first occurrence or -1. An empty needle is found at 1.
std::int64_t find_text(const Text& haystack, const Text& needle);
// The same, with the ASCII letters A-Z and a-z compared without regard to case.
std::int64_t find_text_ignore_case(const Text& haystack, const Text& needle);

// Removes leading and trailing ASCII spaces and full-width spaces (GBK A1 A1), nothing else.
Text trim(const Text& text);

// The decimal number the text begins with, after full-width characters are folded to ASCII;
// 0 when the text does not begin with a number. Saturates instead of overflowing.
double number_of(const Text& text);

// Decimal digits of an integer.
Text text_of_int(std::int64_t value);

} // namespace zembrik
