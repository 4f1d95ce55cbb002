#include <windows.h>

#include <climits>

#include "platform/win32/win32_platform.h"

namespace zembrik::win32 {
namespace {

// The system's conversion with default flags: invalid sequences become "?" and characters
// without a GBK form their best fit or "?", as the program's own conversions expect.
class SystemCodePage : public CodePage {
public:
  std::u16string to_utf16(std::string_view gbk) const override {
    if (gbk.empty() || gbk.size() > INT_MAX) return {};
    const int length = static_cast<int>(gbk.size());
    const int units = MultiByteToWideChar(936, 0, gbk.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::u16string out(static_cast<std::size_t>(units), u'\0');
    MultiByteToWideChar(936, 0, gbk.data(), length, reinterpret_cast<wchar_t*>(out.data()),
                        units);
    return out;
  }
  std::string from_utf16(std::u16string_view utf16) const override {
    if (utf16.empty() || utf16.size() > INT_MAX) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(utf16.data());
    const int length = static_cast<int>(utf16.size());
    const int bytes = WideCharToMultiByte(936, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(936, 0, wide, length, out.data(), bytes, nullptr, nullptr);
    return out;
  }
};

} // namespace

const CodePage& code_page_936() {
  static const SystemCodePage page;
  return page;
}

} // namespace zembrik::win32
