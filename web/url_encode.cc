#include "web/web.h"

namespace zembrik {
namespace {

bool is_safe(unsigned char b) {
  return b == 0x2A || (b >= 0x2C && b <= 0x39) || (b >= 0x40 && b <= 0x5A) || b == 0x5F ||
         (b >= 0x61 && b <= 0x7A);
}

} // namespace

Text url_encode_account(const Text& name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(name.size() * 3);
  for (const char c : name.bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (is_safe(b)) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0x0F]);
    }
  }
  return Text(std::move(out));
}

} // namespace zembrik
