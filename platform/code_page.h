#pragma once
#include <string>
#include <string_view>

namespace zembrik {

// Code page 936 as the system's ANSI conversion does it. Conversions never fail and never
// lose a byte: what cannot be converted becomes "?" (U+003F / 3F).
class CodePage {
public:
  virtual ~CodePage() = default;
  [[nodiscard]] virtual std::u16string to_utf16(std::string_view gbk) const = 0;
  [[nodiscard]] virtual std::string from_utf16(std::u16string_view utf16) const = 0;
};

} // namespace zembrik
