// The character-start searches, text_between, trim and number_of against the plain rules:
// a match may begin only where a character begins (a byte of 80 hex or more starts a two-byte
// character), bytes compare exactly or with only A-Z/a-z folded.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "text/match_set.h"
#include "text/text.h"

namespace {

using zembrik::Text;
using zembrik::fuzz::require;

unsigned char fold(unsigned char b) {
  return b >= 'A' && b <= 'Z' ? b + 0x20 : b;
}

std::int64_t reference_find(const std::string& hay, const std::string& needle, bool ignore_case) {
  if (needle.empty()) return 1;
  for (std::size_t start = 0; start < hay.size();
       start += zembrik::is_lead_byte(static_cast<unsigned char>(hay[start])) ? 2 : 1) {
    if (start + needle.size() > hay.size()) break;
    bool same = true;
    for (std::size_t k = 0; same && k < needle.size(); ++k) {
      const auto a = static_cast<unsigned char>(hay[start + k]);
      const auto b = static_cast<unsigned char>(needle[k]);
      same = ignore_case ? fold(a) == fold(b) : a == b;
    }
    if (same) return static_cast<std::int64_t>(start) + 1;
  }
  return -1;
}

std::string reference_between(const std::string& text, const std::string& left,
                              const std::string& right) {
  const std::int64_t p = reference_find(text, left, true);
  if (p < 0) return {};
  const std::string rest = text.substr(static_cast<std::size_t>(p - 1) + left.size());
  const std::int64_t q = reference_find(rest, right, true);
  if (q < 0) return {};
  return rest.substr(0, static_cast<std::size_t>(q - 1));
}

bool starts_with_trim_character(const std::string& s) {
  return (!s.empty() && s[0] == ' ') || s.starts_with("\xA1\xA1");
}

// Whether the last character (characters counted from the start) is a space or A1 A1.
bool ends_with_trim_character(const std::string& s) {
  std::size_t last = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    last = i;
    i += zembrik::is_lead_byte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
  }
  return !s.empty() && starts_with_trim_character(s.substr(last));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = zembrik::fuzz::split_fields(data, size, 3);
  const Text text(fields[0]);
  const Text left(fields[1]);
  const Text right(fields[2]);

  require(zembrik::find_text(text, left) == reference_find(text.bytes, left.bytes, false),
          "find_text finds the first match at a character start");
  require(zembrik::find_text_ignore_case(text, left) ==
              reference_find(text.bytes, left.bytes, true),
          "find_text_ignore_case folds only ASCII letters");
  const Text between = zembrik::text_between(text, left, right);
  require(between.bytes == reference_between(text.bytes, left.bytes, right.bytes),
          "text_between is the piece between the first markers");
  require(between.empty() || text.bytes.find(between.bytes) != std::string::npos,
          "text_between gives a piece of the text");

  const Text trimmed = zembrik::trim(text);
  require(text.bytes.find(trimmed.bytes) != std::string::npos, "trim gives a piece of the text");
  require(!starts_with_trim_character(trimmed.bytes), "trim leaves no leading space");
  require(!ends_with_trim_character(trimmed.bytes), "trim leaves no trailing space");

  const double number = zembrik::number_of(text);
  require(!std::isnan(number), "number_of gives a number");
  return 0;
}
