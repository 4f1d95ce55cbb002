#pragma once
#include <cstdint>
#include <vector>

namespace zembrik {

// A byte array with its length: HTTP bodies, pictures, sounds.
using Bytes = std::vector<std::uint8_t>;

} // namespace zembrik
