#pragma once
#include <string>

#include "text/bytes.h"

namespace zembrik::check {

// Lowercase hexadecimal SHA-256 of the bytes.
std::string sha256_hex(const Bytes& data);

} // namespace zembrik::check
