// url_encode_account: only safe bytes and %XX escapes come out, every escape decodes to the
// byte it stands for, and the length is the input's plus two for each escaped byte.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "web/web.h"

namespace {

using zembrik::fuzz::require;

bool is_safe(unsigned char b) {
  return b == '*' || b == ',' || b == '-' || b == '.' || b == '/' || (b >= '0' && b <= '9') ||
         b == '@' || (b >= 'A' && b <= 'Z') || b == '_' || (b >= 'a' && b <= 'z');
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1; // lower-case hexadecimal is not allowed either
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const zembrik::Text name(std::string(reinterpret_cast<const char*>(data), size));
  const std::string out = zembrik::url_encode_account(name).bytes;

  std::size_t escaped = 0;
  for (std::size_t k = 0; k < size; ++k)
    escaped += is_safe(data[k]) ? 0 : 1;
  require(out.size() == size + 2 * escaped, "length = input + 2 x escaped");

  std::string decoded;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto b = static_cast<unsigned char>(out[i]);
    if (b == '%') {
      const int high = i + 1 < out.size() ? hex_value(out[i + 1]) : -1;
      const int low = i + 2 < out.size() ? hex_value(out[i + 2]) : -1;
      require(high >= 0 && low >= 0, "an escape has two capital hexadecimal digits");
      const auto value = static_cast<unsigned char>(high * 16 + low);
      require(!is_safe(value), "a safe byte is never escaped");
      decoded.push_back(static_cast<char>(value));
      i += 2;
    } else {
      require(is_safe(b), "only safe bytes and escapes");
      decoded.push_back(static_cast<char>(b));
    }
  }
  require(decoded == name.bytes, "decoding gives the name back");
  return 0;
}
