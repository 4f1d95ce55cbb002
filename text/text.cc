#include "text/text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/platform.h"

namespace zembrik {

Text gbk(std::string_view utf8) {
  return Text(platform().code_page->from_utf16(utf8_to_utf16(utf8)));
}

std::string to_utf8(const Text& text) {
  return utf16_to_utf8(platform().code_page->to_utf16(text.bytes));
}

std::u16string to_wide(const Text& text) { return platform().code_page->to_utf16(text.bytes); }

Text from_wide(std::u16string_view wide) { return Text(platform().code_page->from_utf16(wide)); }

std::u16string utf8_to_utf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
  while (i < utf8.size()) {
    const unsigned char b = byte(i);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    std::size_t need = 0;
    char32_t min = 0;
    if (b < 0x80) {
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      need = 1, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      need = 2, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      need = 3, cp = b & 0x07, min = 0x10000;
    }
    if (need > 0) {
      bool ok = true;
      for (std::size_t k = 1; ok && k <= need; ++k) {
        if (i + k >= utf8.size() || (byte(i + k) & 0xC0) != 0x80) ok = false;
        else cp = (cp << 6) | (byte(i + k) & 0x3F);
      }
      if (ok && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
        len = need + 1;
      } else {
        cp = 0xFFFD;
      }
    } else if (b >= 0x80) {
      cp = 0xFFFD;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string utf16_to_utf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

Text page_text(const Bytes& body) {
  const auto end = std::find(body.begin(), body.end(), std::uint8_t{0});
  return Text(std::string(body.begin(), end));
}

namespace {

unsigned char fold(unsigned char b) { return (b >= 'A' && b <= 'Z') ? b + 0x20 : b; }

// First occurrence of the needle at a character start. Candidates are found by their first
// byte; a cursor walking the characters from the start tells whether a candidate is a start.
template <bool kIgnoreCase>
std::int64_t find_at_starts(const std::string& hay, const std::string& needle) {
  const std::size_t n = hay.size();
  const std::size_t m = needle.size();
  if (m == 0) return 1;
  if (m > n) return -1;
  const auto* data = reinterpret_cast<const unsigned char*>(hay.data());
  const auto* want = reinterpret_cast<const unsigned char*>(needle.data());
  const unsigned char first = kIgnoreCase ? fold(want[0]) : want[0];
  const std::size_t last = n - m; // last position a match can start at
  std::size_t cursor = 0;         // a character start at or after every rejected candidate
  std::size_t pos = 0;
  while (pos <= last) {
    std::size_t c = pos;
    if (kIgnoreCase && first >= 'a' && first <= 'z') {
      while (c <= last && fold(data[c]) != first) ++c;
      if (c > last) return -1;
    } else {
      const void* hit = std::memchr(data + pos, first, last - pos + 1);
      if (hit == nullptr) return -1;
      c = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - data);
    }
    while (cursor < c) cursor += is_lead_byte(data[cursor]) ? 2 : 1;
    if (cursor == c) {
      std::size_t k = 1;
      if constexpr (kIgnoreCase) {
        while (k < m && fold(data[c + k]) == fold(want[k])) ++k;
      } else {
        k = std::memcmp(data + c, want, m) == 0 ? m : 0;
      }
      if (k == m) return static_cast<std::int64_t>(c) + 1;
    }
    pos = c + 1;
  }
  return -1;
}

// Byte offsets at which the characters of the text start, plus the end offset.
std::vector<std::size_t> character_starts(const std::string& s) {
  std::vector<std::size_t> starts;
  std::size_t i = 0;
  while (i < s.size()) {
    starts.push_back(i);
    i += (is_lead_byte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
  }
  starts.push_back(s.size());
  return starts;
}

bool is_trim_character(const std::string& s, std::size_t from, std::size_t to) {
  if (to - from == 1) return s[from] == ' ';
  return to - from == 2 && static_cast<unsigned char>(s[from]) == 0xA1 &&
         static_cast<unsigned char>(s[from + 1]) == 0xA1;
}

} // namespace

std::int64_t find_text(const Text& haystack, const Text& needle) {
  return find_at_starts<false>(haystack.bytes, needle.bytes);
}

std::int64_t find_text_ignore_case(const Text& haystack, const Text& needle) {
  return find_at_starts<true>(haystack.bytes, needle.bytes);
}

Text trim(const Text& text) {
  const std::string& s = text.bytes;
  const std::vector<std::size_t> starts = character_starts(s);
  std::size_t first = 0;
  std::size_t last = starts.size() - 1; // index of the end offset
  while (first < last && is_trim_character(s, starts[first], starts[first + 1])) ++first;
  while (last > first && is_trim_character(s, starts[last - 1], starts[last])) --last;
  return Text(s.substr(starts[first], starts[last] - starts[first]));
}

double number_of(const Text& text) {
  // Fold full-width forms (GBK A3 A1 .. A3 FE, and the full-width space) to ASCII first.
  std::string ascii;
  const std::string& s = text.bytes;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (!is_lead_byte(b)) {
      ascii.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    if (i + 1 >= s.size()) break;
    const auto t = static_cast<unsigned char>(s[i + 1]);
    if (b == 0xA3 && t >= 0xA1 && t <= 0xFE) {
      ascii.push_back(static_cast<char>(t - 0x80));
    } else if (b == 0xA1 && t == 0xA1) {
      ascii.push_back(' ');
    } else {
      break; // the number, if any, has ended
    }
    i += 2;
  }
  std::size_t k = 0;
  if (k < ascii.size() && (ascii[k] == '-' || ascii[k] == '+')) ++k;
  const std::size_t digits_start = k;
  while (k < ascii.size() && ascii[k] >= '0' && ascii[k] <= '9') ++k;
  bool any_digit = k > digits_start;
  if (k < ascii.size() && ascii[k] == '.') {
    ++k;
    const std::size_t fraction_start = k;
    while (k < ascii.size() && ascii[k] >= '0' && ascii[k] <= '9') ++k;
    any_digit = any_digit || k > fraction_start;
  }
  if (!any_digit) return 0.0;
  const std::string number = ascii.substr(0, k);
  return std::strtod(number.c_str(), nullptr); // a huge number saturates to infinity
}

Text text_of_int(std::int64_t value) { return Text(std::to_string(value)); }

} // namespace zembrik
