#pragma once
// Helpers shared by the fuzz targets: splitting one input into fields and failing loudly.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/posix_platform.h"

namespace zembrik::fuzz {

// Aborts with a message when a property does not hold, so the fuzzer keeps the input.
inline void require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", property);
  std::abort();
}

// The input cut at every NUL into exactly `count` fields; missing fields are empty and the
// last field keeps any further NULs. Texts of the program never hold a NUL (page_text ends at
// the first), so NUL is a separator that costs no reachable input.
inline std::vector<std::string> split_fields(const std::uint8_t* data, std::size_t size,
                                             std::size_t count) {
  std::vector<std::string> fields(count);
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (std::size_t k = 0; k < count && start <= all.size(); ++k) {
    const std::size_t end = k + 1 == count ? all.size() : all.find('\0', start);
    const std::size_t stop = end == std::string_view::npos ? all.size() : end;
    fields[k] = std::string(all.substr(start, stop - start));
    start = stop + 1;
  }
  return fields;
}

// Installs a platform with only the real code page, as every program of the project starts.
inline void install_code_page_only() {
  Platform base;
  base.code_page = &posix::code_page_936();
  install_platform(base);
}

} // namespace zembrik::fuzz
