#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/posix/posix_platform.h"

// Code page 936 exactly as Windows converts it, from tables fixed at compile time: no iconv
// state at run time, so any thread may convert at any moment, and no dependency on the gconv
// modules installed on the machine.
//
// What Windows has beyond glibc's GBK (code_page_936_table.inc, checked against iconv by the
// tests): byte 80 is U+20AC, byte FF is U+F8F5, and every two-byte code glibc leaves empty is a
// Private Use Area character. The three user-defined areas come first, row by row, then the
// remaining empty codes in code order from U+E766 on. So every lead byte with a valid trail byte
// is a character and converts back to the same two bytes.

namespace zembrik::posix {
namespace {

struct BestFit {
  char16_t character;
  std::uint16_t code;
};

#include "platform/posix/code_page_936_table.inc"

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLastLead = 0xFE;
constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kLastTrail = 0xFE;
constexpr unsigned kTrailSlots = kLastTrail - kFirstTrail + 1; // 7F keeps an empty slot
constexpr std::size_t kDoubleByteSlots = (kLastLead - kFirstLead + 1) * kTrailSlots;
static_assert(std::size(kGlibcDoubleByte) == kDoubleByteSlots);

constexpr std::size_t slot(unsigned lead, unsigned trail) {
  return (lead - kFirstLead) * kTrailSlots + (trail - kFirstTrail);
}

struct Tables {
  // Two-byte code -> UTF-16 by slot(); 0 only in the slots of trail byte 7F.
  std::array<char16_t, kDoubleByteSlots> decode{};
  // UTF-16 unit (80 hex and above) -> code; 0 when not in the code page, below 100 hex a single
  // byte, otherwise lead * 256 + trail.
  std::array<std::uint16_t, 0x10000> encode{};
};

// Gives the PUA characters to one user-defined area, row by row.
consteval void fill_user_area(Tables& t, unsigned first_lead, unsigned last_lead,
                              unsigned first_trail, unsigned last_trail, char16_t& next) {
  for (unsigned lead = first_lead; lead <= last_lead; ++lead)
    for (unsigned trail = first_trail; trail <= last_trail; ++trail) {
      if (trail == 0x7F) continue;
      if (t.decode[slot(lead, trail)] != 0) throw "user-defined code already assigned";
      t.decode[slot(lead, trail)] = next++;
    }
}

consteval void add_encoding(Tables& t, char16_t unit, std::uint16_t code) {
  if (t.encode[unit] != 0) throw "character with two codes";
  t.encode[unit] = code;
}

consteval Tables build_tables() {
  Tables t;
  for (std::size_t i = 0; i < kDoubleByteSlots; ++i)
    t.decode[i] = kGlibcDoubleByte[i];

  char16_t next = u'\uE000';
  fill_user_area(t, 0xAA, 0xAF, 0xA1, 0xFE, next); // U+E000..U+E233
  fill_user_area(t, 0xF8, 0xFE, 0xA1, 0xFE, next); // U+E234..U+E4C5
  fill_user_area(t, 0xA1, 0xA7, 0x40, 0xA0, next); // U+E4C6..U+E765
  for (unsigned lead = kFirstLead; lead <= kLastLead; ++lead)
    for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail)
      if (trail != 0x7F && t.decode[slot(lead, trail)] == 0) t.decode[slot(lead, trail)] = next++;
  if (next != u'\uE865') throw "unexpected number of unassigned codes";

  add_encoding(t, u'\u20AC', 0x80);
  add_encoding(t, u'\uF8F5', 0xFF);
  for (unsigned lead = kFirstLead; lead <= kLastLead; ++lead)
    for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail)
      if (trail != 0x7F)
        add_encoding(t, t.decode[slot(lead, trail)], static_cast<std::uint16_t>(lead << 8 | trail));
  for (const BestFit& fit : kBestFit) {
    if (fit.character < 0x80) throw "best fit for ASCII";
    add_encoding(t, fit.character, fit.code);
  }
  return t;
}

constexpr Tables kTables = build_tables();

class CodePage936 final : public CodePage {
public:
  std::u16string to_utf16(std::string_view gbk) const override {
    std::u16string result(gbk.size(), u'\0');
    char16_t* out = result.data();
    const auto* in = reinterpret_cast<const unsigned char*>(gbk.data());
    const std::size_t size = gbk.size();
    std::size_t i = 0;
    while (i < size) {
      // Pages are mostly ASCII: copy runs of it eight bytes at a time.
      while (size - i >= 8) {
        std::uint64_t word;
        std::memcpy(&word, in + i, 8);
        if ((word & 0x8080808080808080u) != 0) break;
        for (std::size_t k = 0; k < 8; ++k)
          out[k] = in[i + k];
        out += 8;
        i += 8;
      }
      if (i == size) break;
      const unsigned byte = in[i];
      if (byte < 0x80) {
        *out++ = static_cast<char16_t>(byte);
        ++i;
      } else if (byte == 0x80) {
        *out++ = u'\u20AC';
        ++i;
      } else if (byte == 0xFF) {
        *out++ = u'\uF8F5';
        ++i;
      } else {
        const unsigned trail = i + 1 < size ? in[i + 1] : 0;
        const char16_t unit = trail >= kFirstTrail && trail <= kLastTrail
                                  ? kTables.decode[slot(byte, trail)]
                                  : char16_t{0};
        if (unit != 0) {
          *out++ = unit;
          i += 2;
        } else {
          // A lead byte without a trail byte: "?" for the lead byte alone, so that the byte
          // after it is still converted as itself.
          *out++ = u'?';
          ++i;
        }
      }
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
  }

  std::string from_utf16(std::u16string_view utf16) const override {
    std::string result(utf16.size() * 2, '\0');
    char* out = result.data();
    const char16_t* in = utf16.data();
    const std::size_t size = utf16.size();
    for (std::size_t i = 0; i < size; ++i) {
      const char16_t unit = in[i];
      if (unit < 0x80) {
        *out++ = static_cast<char>(unit);
        continue;
      }
      if (unit >= 0xD800 && unit <= 0xDFFF) {
        // Nothing beyond the BMP is in the code page: a surrogate pair is one "?", and so is a
        // lone surrogate.
        if (unit <= 0xDBFF && i + 1 < size && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) ++i;
        *out++ = '?';
        continue;
      }
      const std::uint16_t code = kTables.encode[unit];
      if (code == 0) {
        *out++ = '?';
      } else if (code < 0x100) {
        *out++ = static_cast<char>(code);
      } else {
        *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code & 0xFF);
      }
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
  }
};

} // namespace

const CodePage& code_page_936() {
  static const CodePage936 instance;
  return instance;
}

} // namespace zembrik::posix
