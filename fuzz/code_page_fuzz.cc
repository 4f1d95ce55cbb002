// Code page 936 both ways. Any bytes: decoding and encoding again keeps every valid character's
// bytes and turns each lead byte without a trail byte into one "?". Any UTF-16: the encoded
// bytes are valid text and survive a second round trip unchanged. UTF-8 <-> UTF-16 too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "text/text.h"

namespace {

using zembrik::fuzz::require;

// The bytes the code page must give back after a round trip of `gbk`.
std::string expected_round_trip(const std::string& gbk) {
  std::string out;
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const auto lead = static_cast<unsigned char>(gbk[i]);
    if (lead < 0x81 || lead == 0xFF) {
      out.push_back(gbk[i]);
      continue;
    }
    const unsigned trail = i + 1 < gbk.size() ? static_cast<unsigned char>(gbk[i + 1]) : 0;
    if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
      out.append(gbk, i, 2);
      ++i;
    } else {
      out.push_back('?');
    }
  }
  return out;
}

std::size_t count_of(const auto& s, auto unit) {
  std::size_t n = 0;
  for (const auto c : s)
    n += c == unit ? 1 : 0;
  return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& cp = zembrik::posix::code_page_936();
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const std::u16string wide = cp.to_utf16(bytes);
  require(wide.size() <= bytes.size(), "decoding never makes more units than bytes");
  require(count_of(wide, u'\0') == count_of(bytes, '\0'), "NUL only from NUL");
  const std::string back = cp.from_utf16(wide);
  require(back == expected_round_trip(bytes), "bytes -> UTF-16 -> bytes keeps valid text");
  require(cp.to_utf16(back) == wide, "valid text round trip is stable");

  // The same bytes read as UTF-16 units (little-endian pairs).
  std::u16string units(size / 2, u'\0');
  for (std::size_t k = 0; k < units.size(); ++k)
    units[k] = static_cast<char16_t>(data[2 * k] | data[2 * k + 1] << 8);
  const std::string encoded = cp.from_utf16(units);
  require(encoded.size() <= 2 * units.size(), "at most two bytes a unit");
  require(count_of(encoded, '\0') == count_of(units, u'\0'), "NUL only from U+0000");
  require(expected_round_trip(encoded) == encoded, "encoding gives only valid text");
  require(cp.from_utf16(cp.to_utf16(encoded)) == encoded, "UTF-16 -> bytes -> UTF-16 -> bytes");

  // UTF-8 <-> UTF-16 without the code page: valid UTF-8 survives, anything else stays stable.
  const std::u16string from_utf8 = zembrik::utf8_to_utf16(bytes);
  const std::string utf8 = zembrik::utf16_to_utf8(from_utf8);
  require(zembrik::utf8_to_utf16(utf8) == from_utf8, "UTF-8 round trip is stable");
  if (count_of(from_utf8, u'\uFFFD') == 0) require(utf8 == bytes, "valid UTF-8 round trip");
  return 0;
}
