// "VBScript.RegExp" on PCRE2's 16-bit library. The component's patterns are JavaScript's (ES3 with
// the web-compatibility extensions, no u flag), so they are translated here into an equivalent
// PCRE2 pattern in which every character is written as an escape; PCRE2's own reading of
// \d, \s, ., ^, $, \b, \u and friends is never relied on. Matching runs on UTF-16 code units
// without PCRE2's UTF mode, exactly as JavaScript does, so unpaired surrogates need no guard.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "platform/automation.h"
#include "platform/posix/posix_platform.h"

namespace zembrik::posix {
namespace {

using automation::Call;
using automation::Object;
using automation::ObjectRef;
using automation::Value;

// Case folding. JavaScript's IgnoreCase compares Canonicalize(ch): the upper case of ch when
// that is a single code unit, except that a non-ASCII unit never folds onto ASCII (so U+017F and
// U+212A stay apart from s and k, unlike PCRE2's Unicode folding). The table lists the code
// units whose canonical form differs, as runs {first, last, stride, delta}; it was derived from
// full upper-case mapping of Unicode 14.0 (String.prototype.toUpperCase) over the BMP.
struct CaseRun {
  std::uint16_t first;
  std::uint16_t last;
  std::uint8_t stride;
  std::int32_t delta;
};

constexpr CaseRun kCanonicalRuns[] = {
    {0x0061, 0x007A, 1, -32},    {0x00B5, 0x00B5, 1, 743},    {0x00E0, 0x00F6, 1, -32},
    {0x00F8, 0x00FE, 1, -32},    {0x00FF, 0x00FF, 1, 121},    {0x0101, 0x012F, 2, -1},
    {0x0133, 0x0137, 2, -1},     {0x013A, 0x0148, 2, -1},     {0x014B, 0x0177, 2, -1},
    {0x017A, 0x017E, 2, -1},     {0x0180, 0x0180, 1, 195},    {0x0183, 0x0185, 2, -1},
    {0x0188, 0x0188, 1, -1},     {0x018C, 0x018C, 1, -1},     {0x0192, 0x0192, 1, -1},
    {0x0195, 0x0195, 1, 97},     {0x0199, 0x0199, 1, -1},     {0x019A, 0x019A, 1, 163},
    {0x019E, 0x019E, 1, 130},    {0x01A1, 0x01A5, 2, -1},     {0x01A8, 0x01A8, 1, -1},
    {0x01AD, 0x01AD, 1, -1},     {0x01B0, 0x01B0, 1, -1},     {0x01B4, 0x01B6, 2, -1},
    {0x01B9, 0x01B9, 1, -1},     {0x01BD, 0x01BD, 1, -1},     {0x01BF, 0x01BF, 1, 56},
    {0x01C5, 0x01C5, 1, -1},     {0x01C6, 0x01C6, 1, -2},     {0x01C8, 0x01C8, 1, -1},
    {0x01C9, 0x01C9, 1, -2},     {0x01CB, 0x01CB, 1, -1},     {0x01CC, 0x01CC, 1, -2},
    {0x01CE, 0x01DC, 2, -1},     {0x01DD, 0x01DD, 1, -79},    {0x01DF, 0x01EF, 2, -1},
    {0x01F2, 0x01F2, 1, -1},     {0x01F3, 0x01F3, 1, -2},     {0x01F5, 0x01F5, 1, -1},
    {0x01F9, 0x021F, 2, -1},     {0x0223, 0x0233, 2, -1},     {0x023C, 0x023C, 1, -1},
    {0x023F, 0x0240, 1, 10815},  {0x0242, 0x0242, 1, -1},     {0x0247, 0x024F, 2, -1},
    {0x0250, 0x0250, 1, 10783},  {0x0251, 0x0251, 1, 10780},  {0x0252, 0x0252, 1, 10782},
    {0x0253, 0x0253, 1, -210},   {0x0254, 0x0254, 1, -206},   {0x0256, 0x0257, 1, -205},
    {0x0259, 0x0259, 1, -202},   {0x025B, 0x025B, 1, -203},   {0x025C, 0x025C, 1, 42319},
    {0x0260, 0x0260, 1, -205},   {0x0261, 0x0261, 1, 42315},  {0x0263, 0x0263, 1, -207},
    {0x0265, 0x0265, 1, 42280},  {0x0266, 0x0266, 1, 42308},  {0x0268, 0x0268, 1, -209},
    {0x0269, 0x0269, 1, -211},   {0x026A, 0x026A, 1, 42308},  {0x026B, 0x026B, 1, 10743},
    {0x026C, 0x026C, 1, 42305},  {0x026F, 0x026F, 1, -211},   {0x0271, 0x0271, 1, 10749},
    {0x0272, 0x0272, 1, -213},   {0x0275, 0x0275, 1, -214},   {0x027D, 0x027D, 1, 10727},
    {0x0280, 0x0280, 1, -218},   {0x0282, 0x0282, 1, 42307},  {0x0283, 0x0283, 1, -218},
    {0x0287, 0x0287, 1, 42282},  {0x0288, 0x0288, 1, -218},   {0x0289, 0x0289, 1, -69},
    {0x028A, 0x028B, 1, -217},   {0x028C, 0x028C, 1, -71},    {0x0292, 0x0292, 1, -219},
    {0x029D, 0x029D, 1, 42261},  {0x029E, 0x029E, 1, 42258},  {0x0345, 0x0345, 1, 84},
    {0x0371, 0x0373, 2, -1},     {0x0377, 0x0377, 1, -1},     {0x037B, 0x037D, 1, 130},
    {0x03AC, 0x03AC, 1, -38},    {0x03AD, 0x03AF, 1, -37},    {0x03B1, 0x03C1, 1, -32},
    {0x03C2, 0x03C2, 1, -31},    {0x03C3, 0x03CB, 1, -32},    {0x03CC, 0x03CC, 1, -64},
    {0x03CD, 0x03CE, 1, -63},    {0x03D0, 0x03D0, 1, -62},    {0x03D1, 0x03D1, 1, -57},
    {0x03D5, 0x03D5, 1, -47},    {0x03D6, 0x03D6, 1, -54},    {0x03D7, 0x03D7, 1, -8},
    {0x03D9, 0x03EF, 2, -1},     {0x03F0, 0x03F0, 1, -86},    {0x03F1, 0x03F1, 1, -80},
    {0x03F2, 0x03F2, 1, 7},      {0x03F3, 0x03F3, 1, -116},   {0x03F5, 0x03F5, 1, -96},
    {0x03F8, 0x03F8, 1, -1},     {0x03FB, 0x03FB, 1, -1},     {0x0430, 0x044F, 1, -32},
    {0x0450, 0x045F, 1, -80},    {0x0461, 0x0481, 2, -1},     {0x048B, 0x04BF, 2, -1},
    {0x04C2, 0x04CE, 2, -1},     {0x04CF, 0x04CF, 1, -15},    {0x04D1, 0x052F, 2, -1},
    {0x0561, 0x0586, 1, -48},    {0x10D0, 0x10FA, 1, 3008},   {0x10FD, 0x10FF, 1, 3008},
    {0x13F8, 0x13FD, 1, -8},     {0x1C80, 0x1C80, 1, -6254},  {0x1C81, 0x1C81, 1, -6253},
    {0x1C82, 0x1C82, 1, -6244},  {0x1C83, 0x1C84, 1, -6242},  {0x1C85, 0x1C85, 1, -6243},
    {0x1C86, 0x1C86, 1, -6236},  {0x1C87, 0x1C87, 1, -6181},  {0x1C88, 0x1C88, 1, 35266},
    {0x1D79, 0x1D79, 1, 35332},  {0x1D7D, 0x1D7D, 1, 3814},   {0x1D8E, 0x1D8E, 1, 35384},
    {0x1E01, 0x1E95, 2, -1},     {0x1E9B, 0x1E9B, 1, -59},    {0x1EA1, 0x1EFF, 2, -1},
    {0x1F00, 0x1F07, 1, 8},      {0x1F10, 0x1F15, 1, 8},      {0x1F20, 0x1F27, 1, 8},
    {0x1F30, 0x1F37, 1, 8},      {0x1F40, 0x1F45, 1, 8},      {0x1F51, 0x1F57, 2, 8},
    {0x1F60, 0x1F67, 1, 8},      {0x1F70, 0x1F71, 1, 74},     {0x1F72, 0x1F75, 1, 86},
    {0x1F76, 0x1F77, 1, 100},    {0x1F78, 0x1F79, 1, 128},    {0x1F7A, 0x1F7B, 1, 112},
    {0x1F7C, 0x1F7D, 1, 126},    {0x1FB0, 0x1FB1, 1, 8},      {0x1FBE, 0x1FBE, 1, -7205},
    {0x1FD0, 0x1FD1, 1, 8},      {0x1FE0, 0x1FE1, 1, 8},      {0x1FE5, 0x1FE5, 1, 7},
    {0x214E, 0x214E, 1, -28},    {0x2170, 0x217F, 1, -16},    {0x2184, 0x2184, 1, -1},
    {0x24D0, 0x24E9, 1, -26},    {0x2C30, 0x2C5F, 1, -48},    {0x2C61, 0x2C61, 1, -1},
    {0x2C65, 0x2C65, 1, -10795}, {0x2C66, 0x2C66, 1, -10792}, {0x2C68, 0x2C6C, 2, -1},
    {0x2C73, 0x2C73, 1, -1},     {0x2C76, 0x2C76, 1, -1},     {0x2C81, 0x2CE3, 2, -1},
    {0x2CEC, 0x2CEE, 2, -1},     {0x2CF3, 0x2CF3, 1, -1},     {0x2D00, 0x2D25, 1, -7264},
    {0x2D27, 0x2D27, 1, -7264},  {0x2D2D, 0x2D2D, 1, -7264},  {0xA641, 0xA66D, 2, -1},
    {0xA681, 0xA69B, 2, -1},     {0xA723, 0xA72F, 2, -1},     {0xA733, 0xA76F, 2, -1},
    {0xA77A, 0xA77C, 2, -1},     {0xA77F, 0xA787, 2, -1},     {0xA78C, 0xA78C, 1, -1},
    {0xA791, 0xA793, 2, -1},     {0xA794, 0xA794, 1, 48},     {0xA797, 0xA7A9, 2, -1},
    {0xA7B5, 0xA7C3, 2, -1},     {0xA7C8, 0xA7CA, 2, -1},     {0xA7D1, 0xA7D1, 1, -1},
    {0xA7D7, 0xA7D9, 2, -1},     {0xA7F6, 0xA7F6, 1, -1},     {0xAB53, 0xAB53, 1, -928},
    {0xAB70, 0xABBF, 1, -38864}, {0xFF41, 0xFF5A, 1, -32},
};

constexpr std::size_t kUnits = 0x10000;

// For every code unit, the next unit of its case-equivalence class (a ring; a unit without
// other cases points to itself).
class CaseRings {
public:
  CaseRings() {
    std::vector<std::uint16_t> canonical(kUnits);
    for (std::size_t c = 0; c < kUnits; ++c)
      canonical[c] = static_cast<std::uint16_t>(c);
    for (const CaseRun& run : kCanonicalRuns) {
      for (std::uint32_t c = run.first; c <= run.last; c += run.stride) {
        canonical[c] = static_cast<std::uint16_t>(static_cast<std::int32_t>(c) + run.delta);
      }
    }
    constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::vector<std::uint32_t> first(kUnits, kNone);
    std::vector<std::uint32_t> last(kUnits, kNone);
    for (std::uint32_t c = 0; c < kUnits; ++c) {
      const std::uint16_t key = canonical[c];
      if (first[key] == kNone) {
        first[key] = c;
      } else {
        next_[last[key]] = static_cast<std::uint16_t>(c);
      }
      last[key] = c;
    }
    for (std::size_t key = 0; key < kUnits; ++key) {
      if (first[key] != kNone) next_[last[key]] = static_cast<std::uint16_t>(first[key]);
    }
  }
  [[nodiscard]] std::uint16_t next(std::uint16_t c) const { return next_[c]; }

private:
  std::array<std::uint16_t, kUnits> next_{};
};

const CaseRings& case_rings() {
  static const CaseRings rings; // built once, read-only afterwards
  return rings;
}

// A set of UTF-16 code units.
class CharSet {
public:
  void add(std::uint32_t c) { bits_[c >> 6] |= std::uint64_t{1} << (c & 63); }
  void add_range(std::uint32_t lo, std::uint32_t hi) {
    for (std::uint32_t c = lo; c <= hi; ++c)
      add(c);
  }
  void add(const CharSet& other) {
    for (std::size_t i = 0; i < bits_.size(); ++i)
      bits_[i] |= other.bits_[i];
  }
  void invert() {
    for (auto& word : bits_)
      word = ~word;
  }
  [[nodiscard]] bool contains(std::uint32_t c) const { return (bits_[c >> 6] >> (c & 63)) & 1u; }
  [[nodiscard]] bool empty() const {
    return std::all_of(bits_.begin(), bits_.end(), [](std::uint64_t w) { return w == 0; });
  }
  [[nodiscard]] bool full() const {
    return std::all_of(bits_.begin(), bits_.end(),
                       [](std::uint64_t w) { return w == ~std::uint64_t{0}; });
  }
  // Adds every unit that is case-equivalent to a member.
  void close_under_case() {
    const CaseRings& rings = case_rings();
    const CharSet original = *this;
    for (std::uint32_t c = 0; c < kUnits; ++c) {
      if (!original.contains(c)) continue;
      for (std::uint16_t x = rings.next(static_cast<std::uint16_t>(c)); x != c; x = rings.next(x)) {
        add(x);
      }
    }
  }

  static CharSet digits() {
    CharSet set;
    set.add_range('0', '9');
    return set;
  }
  static CharSet word() {
    CharSet set = digits();
    set.add_range('A', 'Z');
    set.add_range('a', 'z');
    set.add('_');
    return set;
  }
  // JavaScript's WhiteSpace and LineTerminator.
  static CharSet space() {
    CharSet set;
    set.add_range(0x09, 0x0D);
    set.add(0x20);
    set.add(0xA0);
    set.add(0x1680);
    set.add_range(0x2000, 0x200A);
    set.add_range(0x2028, 0x2029);
    set.add(0x202F);
    set.add(0x205F);
    set.add(0x3000);
    set.add(0xFEFF);
    return set;
  }
  static CharSet line_terminators() {
    CharSet set;
    set.add(0x0A);
    set.add(0x0D);
    set.add_range(0x2028, 0x2029);
    return set;
  }

  // Appends the set as one PCRE2 item: a class, or an item that never / always matches.
  void emit(std::string& out, bool negated) const {
    const bool none = negated ? full() : empty();
    const bool all = negated ? empty() : full();
    if (none) {
      out += "(?!)";
      return;
    }
    if (all) {
      out += "[\\x{0}-\\x{ffff}]";
      return;
    }
    out += negated ? "[^" : "[";
    std::uint32_t c = 0;
    while (c < kUnits) {
      if (!contains(c)) {
        ++c;
        continue;
      }
      std::uint32_t end = c;
      while (end + 1 < kUnits && contains(end + 1))
        ++end;
      emit_unit(out, c);
      if (end > c) {
        if (end > c + 1) out += '-';
        emit_unit(out, end);
      }
      c = end + 1;
    }
    out += ']';
  }

  // A code unit as a PCRE2 literal that means exactly that unit, inside or outside a class.
  static void emit_unit(std::string& out, std::uint32_t c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      out += static_cast<char>(c);
      return;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x{";
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
      const unsigned digit = (c >> shift) & 0xFu;
      if (digit != 0 || started || shift == 0) {
        out += kHex[digit];
        started = true;
      }
    }
    out += '}';
  }

private:
  std::array<std::uint64_t, kUnits / 64> bits_{};
};

// JavaScript pattern -> PCRE2 pattern. Grammar: ES3 with Annex B (legacy octal escapes, identity
// escapes, literal ] { } where they cannot mean anything else, quantifiable lookaheads). Later
// syntax (lookbehind, named groups, inline flags, \p{..}) and PCRE-only syntax (atomic groups,
// possessive quantifiers) are errors.
class Translator {
public:
  Translator(std::u16string_view source, bool ignore_case, bool multiline)
      : src_(source), ignore_case_(ignore_case), multiline_(multiline) {}

  // The PCRE2 pattern, or nullopt for a syntax error.
  std::optional<std::string> run() {
    group_count_ = count_groups();
    std::size_t depth = 0; // open groups
    while (pos_ < src_.size()) {
      const char16_t c = src_[pos_];
      switch (c) {
      case u'|':
        ++pos_;
        out_ += '|';
        last_ = Last::nothing;
        break;
      case u'(':
        if (!open_group()) return std::nullopt;
        ++depth;
        break;
      case u')':
        if (depth == 0) return std::nullopt;
        --depth;
        ++pos_;
        out_ += ')';
        last_ = Last::atom;
        break;
      case u'*':
      case u'+':
      case u'?':
        if (!quantifier()) return std::nullopt;
        break;
      case u'{': {
        if (brace_quantifier_at(pos_)) {
          if (!quantifier()) return std::nullopt;
        } else {
          literal(c);
          ++pos_;
        }
        break;
      }
      case u'[':
        if (!char_class()) return std::nullopt;
        break;
      case u'.': {
        ++pos_;
        CharSet::line_terminators().emit(out_, true);
        last_ = Last::atom;
        break;
      }
      case u'^':
        ++pos_;
        out_ += multiline_ ? "(?<![^\\x{a}\\x{d}\\x{2028}\\x{2029}])" : "\\A";
        last_ = Last::assertion;
        break;
      case u'$':
        ++pos_;
        out_ += multiline_ ? "(?![^\\x{a}\\x{d}\\x{2028}\\x{2029}])" : "\\z";
        last_ = Last::assertion;
        break;
      case u'\\':
        if (!atom_escape()) return std::nullopt;
        break;
      default:
        literal(c);
        ++pos_;
        break;
      }
    }
    if (depth != 0) return std::nullopt;
    return std::move(out_);
  }

  [[nodiscard]] bool has_backreference() const { return has_backreference_; }

private:
  // What the last item emitted was, for deciding whether a quantifier may follow.
  enum class Last { nothing, atom, assertion, quantifier };

  static constexpr const char* kWordClass = "[0-9A-Za-z_]";

  [[nodiscard]] bool more(std::size_t k = 0) const { return pos_ + k < src_.size(); }
  [[nodiscard]] char16_t at(std::size_t k) const {
    return pos_ + k < src_.size() ? src_[pos_ + k] : u'\0';
  }

  static bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }
  static bool is_octal(char16_t c) { return c >= u'0' && c <= u'7'; }
  static bool is_letter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
  static int hex_value(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
  }

  // Capturing groups of the whole pattern: decides whether \N is a back-reference.
  [[nodiscard]] std::uint32_t count_groups() const {
    std::uint32_t count = 0;
    bool in_class = false;
    for (std::size_t i = 0; i < src_.size(); ++i) {
      const char16_t c = src_[i];
      if (c == u'\\') {
        ++i;
      } else if (in_class) {
        if (c == u']') in_class = false;
      } else if (c == u'[') {
        in_class = true;
      } else if (c == u'(' && (i + 1 >= src_.size() || src_[i + 1] != u'?')) {
        ++count;
      }
    }
    return count;
  }

  bool open_group() {
    if (at(1) != u'?') {
      pos_ += 1;
      out_ += '(';
    } else if (at(2) == u':' || at(2) == u'=' || at(2) == u'!') {
      out_ += "(?";
      out_ += static_cast<char>(at(2));
      pos_ += 3;
    } else {
      return false;
    }
    last_ = Last::nothing;
    return true;
  }

  // Whether a {n}, {n,} or {n,m} quantifier starts at `p`; sets brace_min_/brace_max_/brace_end_.
  bool brace_quantifier_at(std::size_t p) {
    std::size_t i = p + 1;
    auto number = [&](std::uint64_t& value) {
      const std::size_t start = i;
      value = 0;
      while (i < src_.size() && is_digit(src_[i])) {
        value = std::min<std::uint64_t>(value * 10 + (src_[i] - u'0'), kUnbounded);
        ++i;
      }
      return i > start;
    };
    if (!number(brace_min_)) return false;
    brace_max_ = brace_min_;
    if (i < src_.size() && src_[i] == u',') {
      ++i;
      if (!number(brace_max_)) brace_max_ = kUnbounded;
    }
    if (i >= src_.size() || src_[i] != u'}') return false;
    brace_end_ = i + 1;
    return true;
  }

  bool quantifier() {
    if (last_ != Last::atom) return false; // nothing to repeat
    const char16_t c = src_[pos_];
    if (c == u'{') {
      if (brace_min_ > brace_max_) return false;
      // PCRE2 repeats at most 65535 times; a larger upper bound is read as unbounded.
      constexpr std::uint64_t kPcreMax = 65535;
      if (brace_min_ > kPcreMax) return false;
      out_ += '{';
      out_ += std::to_string(brace_min_);
      if (brace_max_ != brace_min_) {
        out_ += ',';
        if (brace_max_ <= kPcreMax) out_ += std::to_string(brace_max_);
      }
      out_ += '}';
      pos_ = brace_end_;
    } else {
      out_ += static_cast<char>(c);
      ++pos_;
    }
    if (more() && src_[pos_] == u'?') {
      out_ += '?';
      ++pos_;
    }
    last_ = Last::quantifier;
    return true;
  }

  void literal(char16_t c) {
    if (ignore_case_) {
      const CaseRings& rings = case_rings();
      if (rings.next(c) != c) {
        std::vector<std::uint16_t> members{c};
        for (std::uint16_t x = rings.next(c); x != c; x = rings.next(x))
          members.push_back(x);
        std::sort(members.begin(), members.end());
        out_ += '[';
        for (const std::uint16_t m : members)
          CharSet::emit_unit(out_, m);
        out_ += ']';
        last_ = Last::atom;
        return;
      }
    }
    CharSet::emit_unit(out_, c);
    last_ = Last::atom;
  }

  void set_atom(CharSet set, bool negated) {
    if (ignore_case_) set.close_under_case();
    set.emit(out_, negated);
    last_ = Last::atom;
  }

  // Reads a legacy octal escape whose first digit is at pos_ (at most \377).
  char16_t legacy_octal() {
    std::uint32_t value = src_[pos_++] - u'0';
    const std::size_t max_digits = value <= 3 ? 3 : 2;
    for (std::size_t n = 1; n < max_digits && more() && is_octal(src_[pos_]); ++n) {
      value = value * 8 + (src_[pos_++] - u'0');
    }
    return static_cast<char16_t>(value);
  }

  // Escapes that mean one character the same way inside and outside a class; pos_ is at the
  // character after the backslash. Returns nullopt when the escape is not one of these.
  std::optional<char16_t> character_escape() {
    const char16_t c = src_[pos_];
    switch (c) {
    case u'f':
      ++pos_;
      return u'\f';
    case u'n':
      ++pos_;
      return u'\n';
    case u'r':
      ++pos_;
      return u'\r';
    case u't':
      ++pos_;
      return u'\t';
    case u'v':
      ++pos_;
      return u'\v';
    case u'x':
      if (hex_value(at(1)) >= 0 && hex_value(at(2)) >= 0) {
        const auto value = static_cast<char16_t>(hex_value(at(1)) * 16 + hex_value(at(2)));
        pos_ += 3;
        return value;
      }
      ++pos_;
      return u'x';
    case u'u': {
      std::uint32_t value = 0;
      for (std::size_t k = 1; k <= 4; ++k) {
        const int digit = hex_value(at(k));
        if (digit < 0) {
          ++pos_;
          return u'u';
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
      }
      pos_ += 5;
      return static_cast<char16_t>(value);
    }
    default:
      return std::nullopt;
    }
  }

  // \d \D \s \S \w \W at pos_ (the letter); nullopt when the escape is none of them.
  std::optional<std::pair<CharSet, bool>> class_escape() {
    switch (src_[pos_]) {
    case u'd':
      ++pos_;
      return std::pair{CharSet::digits(), false};
    case u'D':
      ++pos_;
      return std::pair{CharSet::digits(), true};
    case u's':
      ++pos_;
      return std::pair{CharSet::space(), false};
    case u'S':
      ++pos_;
      return std::pair{CharSet::space(), true};
    case u'w':
      ++pos_;
      return std::pair{CharSet::word(), false};
    case u'W':
      ++pos_;
      return std::pair{CharSet::word(), true};
    default:
      return std::nullopt;
    }
  }

  bool atom_escape() {
    if (!more(1)) return false; // a backslash ending the pattern
    ++pos_;
    const char16_t c = src_[pos_];
    if (c == u'b' || c == u'B') {
      ++pos_;
      const std::string w = kWordClass;
      out_ += c == u'b' ? "(?:(?<=" + w + ")(?!" + w + ")|(?<!" + w + ")(?=" + w + "))"
                        : "(?:(?<=" + w + ")(?=" + w + ")|(?<!" + w + ")(?!" + w + "))";
      last_ = Last::assertion;
      return true;
    }
    if (auto set = class_escape()) {
      set_atom(set->first, set->second);
      return true;
    }
    if (c >= u'1' && c <= u'9') {
      std::size_t end = pos_;
      std::uint64_t number = 0;
      while (end < src_.size() && is_digit(src_[end])) {
        number = std::min<std::uint64_t>(number * 10 + (src_[end] - u'0'), kUnbounded);
        ++end;
      }
      if (number <= group_count_) {
        pos_ = end;
        has_backreference_ = true;
        // Case-insensitive back-references use PCRE2's Unicode folding (PCRE2_UCP).
        out_ += ignore_case_ ? "(?i:\\g{" : "(?:\\g{";
        out_ += std::to_string(number);
        out_ += "})";
        last_ = Last::atom;
        return true;
      }
      // Not a back-reference: a legacy octal escape, or \8 and \9 standing for the digit.
      if (is_octal(c)) {
        literal(legacy_octal());
      } else {
        literal(c);
        ++pos_;
      }
      return true;
    }
    if (c == u'0') {
      literal(legacy_octal());
      return true;
    }
    if (c == u'c') {
      if (is_letter(at(1))) {
        literal(static_cast<char16_t>(at(1) % 32));
        pos_ += 2;
      } else {
        literal(u'\\'); // the backslash stands for itself; "c" is read next as a character
      }
      return true;
    }
    if ((c == u'p' || c == u'P') && at(1) == u'{') return false;
    if (auto unit = character_escape()) {
      literal(*unit);
      return true;
    }
    literal(c); // identity escape
    ++pos_;
    return true;
  }

  // One class atom at pos_: a single unit, or a set from \d and friends.
  struct ClassAtom {
    std::optional<char16_t> unit;
    CharSet set;
  };

  bool class_atom(ClassAtom& atom) {
    atom.unit.reset();
    const char16_t c = src_[pos_];
    if (c != u'\\') {
      atom.unit = c;
      ++pos_;
      return true;
    }
    if (!more(1)) return false;
    ++pos_;
    const char16_t e = src_[pos_];
    if (auto set = class_escape()) {
      atom.set = set->first;
      if (set->second) atom.set.invert();
      return true;
    }
    if (e == u'b') {
      ++pos_;
      atom.unit = u'\b';
    } else if (is_octal(e)) {
      atom.unit = legacy_octal();
    } else if (e == u'c') {
      const char16_t n = at(1);
      if (is_letter(n) || is_digit(n) || n == u'_') {
        atom.unit = static_cast<char16_t>(n % 32);
        pos_ += 2;
      } else {
        atom.unit = u'\\'; // "c" is read next as a class atom
      }
    } else if ((e == u'p' || e == u'P') && at(1) == u'{') {
      return false;
    } else if (auto unit = character_escape()) {
      atom.unit = *unit;
    } else {
      atom.unit = e; // identity escape, \8 and \9 included
      ++pos_;
    }
    return true;
  }

  bool char_class() {
    ++pos_;
    bool negated = false;
    if (more() && src_[pos_] == u'^') {
      negated = true;
      ++pos_;
    }
    CharSet set;
    ClassAtom first;
    ClassAtom second;
    while (true) {
      if (!more()) return false; // unterminated class
      if (src_[pos_] == u']') {
        ++pos_;
        break;
      }
      if (!class_atom(first)) return false;
      if (more(1) && src_[pos_] == u'-' && src_[pos_ + 1] != u']') {
        ++pos_;
        if (!class_atom(second)) return false;
        if (first.unit && second.unit) {
          if (*first.unit > *second.unit) return false; // range out of order
          set.add_range(*first.unit, *second.unit);
        } else {
          // A class escape at either end: no range, the dash is a member.
          add_atom(set, first);
          add_atom(set, second);
          set.add(u'-');
        }
      } else {
        add_atom(set, first);
      }
    }
    set_atom(set, negated);
    return true;
  }

  static void add_atom(CharSet& set, const ClassAtom& atom) {
    if (atom.unit) {
      set.add(*atom.unit);
    } else {
      set.add(atom.set);
    }
  }

  static constexpr std::uint64_t kUnbounded = ~std::uint64_t{0};

  std::u16string_view src_;
  bool ignore_case_;
  bool multiline_;
  std::size_t pos_ = 0;
  std::string out_;
  std::uint32_t group_count_ = 0;
  bool has_backreference_ = false;
  Last last_ = Last::nothing;
  std::uint64_t brace_min_ = 0;
  std::uint64_t brace_max_ = 0;
  std::size_t brace_end_ = 0;
};

// Matching limits. PCRE2's match limit counts backtracking steps at one start position: the
// program's patterns need one or two units per character they scan (about 300 000 on a 150 KB
// page). A runaway pattern reaches the JIT limit in 10-30 ms and the interpreter's (whose steps
// are slower) in about 100 ms. Work spread over many start positions, each below the limit, is
// not bounded.
constexpr std::uint32_t kJitMatchLimit = 10'000'000;
constexpr std::uint32_t kInterpreterMatchLimit = 5'000'000;
constexpr std::uint32_t kDepthLimit = 1'000'000;
constexpr std::uint32_t kHeapLimitKiB = 256 * 1024;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 8 * 1024 * 1024;
// Offsets stored for one Execute (two per match and group); beyond it the execution fails
// rather than exhausting memory on a global pattern that matches everywhere.
constexpr std::size_t kMaxStoredOffsets = std::size_t{1} << 24;

struct CodeFree {
  void operator()(pcre2_code* p) const { pcre2_code_free(p); }
};
struct MatchDataFree {
  void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
};
struct MatchContextFree {
  void operator()(pcre2_match_context* p) const { pcre2_match_context_free(p); }
};
struct JitStackFree {
  void operator()(pcre2_jit_stack* p) const { pcre2_jit_stack_free(p); }
};

bool member_is(std::string_view member, std::string_view name) {
  return member.size() == name.size() &&
         std::equal(member.begin(), member.end(), name.begin(), [](char a, char b) {
           auto lower = [](char ch) {
             return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
           };
           return lower(a) == lower(b);
         });
}

// Late-bound callers read properties and call methods alike (DISPATCH_METHOD|PROPERTYGET).
bool is_read(Call kind) {
  return kind == Call::get || kind == Call::method;
}

std::optional<std::size_t> index_argument(std::span<const Value> args) {
  if (args.size() != 1) return std::nullopt;
  if (const auto* i = std::get_if<std::int64_t>(&args[0].data)) {
    if (*i < 0) return std::nullopt;
    return static_cast<std::size_t>(*i);
  }
  if (const auto* d = std::get_if<double>(&args[0].data)) {
    if (!(*d >= 0 && *d < 9.0e15) || *d != static_cast<double>(static_cast<std::int64_t>(*d))) {
      return std::nullopt;
    }
    return static_cast<std::size_t>(*d);
  }
  return std::nullopt;
}

// The results of one Execute: the subject and, per match, the start and end of the match and of
// each group (PCRE2_UNSET for a group that took no part).
struct MatchList {
  std::u16string subject;
  std::size_t groups = 0;
  std::vector<PCRE2_SIZE> offsets;

  [[nodiscard]] std::size_t stride() const { return 2 * (groups + 1); }
  [[nodiscard]] std::size_t count() const { return offsets.size() / stride(); }
  [[nodiscard]] const PCRE2_SIZE* match(std::size_t i) const { return &offsets[i * stride()]; }
};

class SubMatchesObject : public Object {
public:
  SubMatchesObject(std::shared_ptr<const MatchList> list, std::size_t index)
      : list_(std::move(list)), index_(index) {}

  std::optional<Value> invoke(std::string_view member, Call kind,
                              std::span<const Value> args) override {
    if (!is_read(kind)) return std::nullopt;
    if (member_is(member, "Count") && args.empty()) {
      return Value(static_cast<std::int64_t>(list_->groups));
    }
    if (member_is(member, "Item")) {
      const auto j = index_argument(args);
      if (!j || *j >= list_->groups) return std::nullopt;
      const PCRE2_SIZE* m = list_->match(index_);
      const PCRE2_SIZE start = m[2 * (*j + 1)];
      const PCRE2_SIZE end = m[2 * (*j + 1) + 1];
      if (start == PCRE2_UNSET) return Value();
      return Value(list_->subject.substr(start, end - start));
    }
    return std::nullopt;
  }

private:
  std::shared_ptr<const MatchList> list_;
  std::size_t index_;
};

class MatchObject : public Object {
public:
  MatchObject(std::shared_ptr<const MatchList> list, std::size_t index)
      : list_(std::move(list)), index_(index) {}

  std::optional<Value> invoke(std::string_view member, Call kind,
                              std::span<const Value> args) override {
    if (!is_read(kind) || !args.empty()) return std::nullopt;
    const PCRE2_SIZE* m = list_->match(index_);
    if (member_is(member, "Value")) return Value(list_->subject.substr(m[0], m[1] - m[0]));
    if (member_is(member, "FirstIndex")) return Value(static_cast<std::int64_t>(m[0]));
    if (member_is(member, "Length")) return Value(static_cast<std::int64_t>(m[1] - m[0]));
    if (member_is(member, "SubMatches")) {
      return Value(ObjectRef(std::make_shared<SubMatchesObject>(list_, index_)));
    }
    return std::nullopt;
  }

private:
  std::shared_ptr<const MatchList> list_;
  std::size_t index_;
};

class MatchesObject : public Object {
public:
  explicit MatchesObject(std::shared_ptr<const MatchList> list) : list_(std::move(list)) {}

  std::optional<Value> invoke(std::string_view member, Call kind,
                              std::span<const Value> args) override {
    if (!is_read(kind)) return std::nullopt;
    if (member_is(member, "Count") && args.empty()) {
      return Value(static_cast<std::int64_t>(list_->count()));
    }
    if (member_is(member, "Item")) {
      const auto i = index_argument(args);
      if (!i || *i >= list_->count()) return std::nullopt;
      return Value(ObjectRef(std::make_shared<MatchObject>(list_, *i)));
    }
    return std::nullopt;
  }

private:
  std::shared_ptr<const MatchList> list_;
};

struct CompiledPattern {
  std::unique_ptr<pcre2_code, CodeFree> code;
  bool jit = false;
  std::uint32_t groups = 0;
};

// Translates and compiles a pattern; null for a pattern that is invalid.
std::shared_ptr<const CompiledPattern> compile_pattern(const std::u16string& pattern,
                                                       bool ignore_case, bool multiline) {
  Translator translator(pattern, ignore_case, multiline);
  const std::optional<std::string> translated = translator.run();
  if (!translated) return nullptr;
  const std::vector<PCRE2_UCHAR16> units(translated->begin(), translated->end());
  int error = 0;
  PCRE2_SIZE error_offset = 0;
  // PCRE2_UCP only widens the folding of case-insensitive back-references; every other
  // construct it affects is spelled out by the translation.
  const std::uint32_t options = PCRE2_MATCH_UNSET_BACKREF | PCRE2_NEVER_UTF |
                                PCRE2_NEVER_BACKSLASH_C | (ignore_case ? PCRE2_UCP : 0u);
  auto compiled = std::make_shared<CompiledPattern>();
  compiled->code.reset(
      pcre2_compile(units.data(), units.size(), options, &error, &error_offset, nullptr));
  if (!compiled->code) return nullptr;
  // PCRE2 10.42's JIT folds case-insensitive back-references as ASCII only without
  // PCRE2_UTF, so such patterns stay with the interpreter. Without JIT (unsupported machine,
  // no executable memory) the interpreter runs too.
  if (!(ignore_case && translator.has_backreference())) {
    compiled->jit = pcre2_jit_compile(compiled->code.get(), PCRE2_JIT_COMPLETE) == 0;
  }
  pcre2_pattern_info(compiled->code.get(), PCRE2_INFO_CAPTURECOUNT, &compiled->groups);
  return compiled;
}

// The compiled form of a pattern with its flags, from a small cache shared by all threads.
std::shared_ptr<const CompiledPattern> compiled_pattern(const std::u16string& pattern,
                                                        bool ignore_case, bool multiline) {
  static std::mutex mutex;
  static std::map<std::tuple<std::u16string, bool, bool>, std::shared_ptr<const CompiledPattern>>
      cache;
  constexpr std::size_t kCacheSize = 64;
  auto key = std::make_tuple(pattern, ignore_case, multiline);
  {
    const std::lock_guard lock(mutex);
    if (const auto it = cache.find(key); it != cache.end()) return it->second;
  }
  auto compiled = compile_pattern(pattern, ignore_case, multiline);
  const std::lock_guard lock(mutex);
  if (cache.size() >= kCacheSize) cache.clear();
  cache.emplace(std::move(key), compiled);
  return compiled;
}

class RegExpObject : public Object {
public:
  std::optional<Value> invoke(std::string_view member, Call kind,
                              std::span<const Value> args) override {
    if (member_is(member, "Pattern")) return text_property(pattern_, kind, args);
    if (member_is(member, "IgnoreCase")) return flag_property(ignore_case_, kind, args);
    if (member_is(member, "Global")) return flag_property(global_, kind, args);
    if (member_is(member, "Multiline")) return flag_property(multiline_, kind, args);
    const bool execute = member_is(member, "Execute");
    if (execute || member_is(member, "Test")) {
      if (!is_read(kind) || args.size() != 1 || !args[0].text()) return std::nullopt;
      return execute ? run_execute(*args[0].text()) : run_test(*args[0].text());
    }
    return std::nullopt;
  }

private:
  std::optional<Value> text_property(std::u16string& field, Call kind,
                                     std::span<const Value> args) {
    if (kind == Call::put) {
      if (args.size() != 1 || !args[0].text()) return std::nullopt;
      field = *args[0].text();
      forget_compiled();
      return Value();
    }
    if (!args.empty()) return std::nullopt;
    return Value(field);
  }

  std::optional<Value> flag_property(bool& field, Call kind, std::span<const Value> args) {
    if (kind == Call::put) {
      const bool* value = args.size() == 1 ? std::get_if<bool>(&args[0].data) : nullptr;
      if (!value) return std::nullopt;
      field = *value;
      forget_compiled();
      return Value();
    }
    if (!args.empty()) return std::nullopt;
    return Value(field);
  }

  void forget_compiled() {
    compiled_ = false;
    compiled_code_.reset();
    code_ = nullptr;
    match_data_.reset();
  }

  // Compiles the current pattern once per object; false for a pattern that is invalid. The
  // compiled code is shared between objects (the program makes a new object for every
  // execution of the same dozen patterns), and only read once compiled.
  bool compile() {
    if (compiled_) return compiled_code_ != nullptr && code_ != nullptr;
    compiled_ = true;
    compiled_code_ = compiled_pattern(pattern_, ignore_case_, multiline_);
    if (!compiled_code_) return false;
    code_ = compiled_code_->code.get();
    jit_ = compiled_code_->jit;
    group_count_ = compiled_code_->groups;
    match_data_.reset(pcre2_match_data_create_from_pattern(code_, nullptr));
    if (!match_data_) {
      code_ = nullptr;
      return false;
    }
    return true;
  }

  pcre2_match_context* match_context() {
    if (!match_context_) {
      match_context_.reset(pcre2_match_context_create(nullptr));
      if (!match_context_) return nullptr;
      pcre2_set_depth_limit(match_context_.get(), kDepthLimit);
      pcre2_set_heap_limit(match_context_.get(), kHeapLimitKiB);
      jit_stack_.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
      if (jit_stack_) pcre2_jit_stack_assign(match_context_.get(), nullptr, jit_stack_.get());
    }
    return match_context_.get();
  }

  // One search from `offset`: 1 for a match (offsets in match_data_), 0 for none, -1 for a
  // failure (limits, memory).
  int search(std::u16string_view subject, std::size_t offset) {
    pcre2_match_context* context = match_context();
    if (!context) return -1;
    pcre2_set_match_limit(context, jit_ ? kJitMatchLimit : kInterpreterMatchLimit);
    const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR16>(subject.data()),
                               subject.size(), offset, 0, match_data_.get(), context);
    if (rc == PCRE2_ERROR_NOMATCH) return 0;
    return rc > 0 ? 1 : -1;
  }

  std::optional<Value> run_test(const std::u16string& subject) {
    if (!compile()) return std::nullopt;
    const int found = search(subject, 0);
    if (found < 0) return std::nullopt;
    return Value(found == 1);
  }

  std::optional<Value> run_execute(const std::u16string& subject) {
    if (!compile()) return std::nullopt;
    auto list = std::make_shared<MatchList>();
    list->subject = subject;
    list->groups = group_count_;
    const std::size_t stride = list->stride();
    std::size_t offset = 0;
    while (offset <= subject.size()) {
      const int found = search(list->subject, offset);
      if (found < 0) return std::nullopt;
      if (found == 0) break;
      if (list->offsets.size() + stride > kMaxStoredOffsets) return std::nullopt;
      const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(match_data_.get());
      list->offsets.insert(list->offsets.end(), ovector, ovector + stride);
      if (!global_) break;
      // As JavaScript's lastIndex: the next search starts where this match ended, one unit
      // further after an empty match.
      offset = ovector[1] == ovector[0] ? ovector[1] + 1 : ovector[1];
    }
    return Value(ObjectRef(std::make_shared<MatchesObject>(std::move(list))));
  }

  std::u16string pattern_;
  bool ignore_case_ = false;
  bool global_ = false;
  bool multiline_ = false;

  bool compiled_ = false;
  bool jit_ = false;
  std::uint32_t group_count_ = 0;
  std::shared_ptr<const CompiledPattern> compiled_code_;
  const pcre2_code* code_ = nullptr;
  std::unique_ptr<pcre2_match_data, MatchDataFree> match_data_;
  std::unique_ptr<pcre2_match_context, MatchContextFree> match_context_;
  std::unique_ptr<pcre2_jit_stack, JitStackFree> jit_stack_;
};

} // namespace

automation::ObjectRef make_regexp() {
  return std::make_shared<RegExpObject>();
}

} // namespace zembrik::posix
