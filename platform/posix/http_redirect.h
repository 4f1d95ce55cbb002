#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace zembrik::posix {

// Redirects one request follows, as WinHTTP's default; one more makes the request fail.
inline constexpr int kMaxRedirects = 10;

// Where a response sends its request next under WinHTTP's default redirect policy: the absolute
// address for a 301, 302, 303, 307 or 308 whose Location is an http or https address, relative
// ones resolved against `from_url`. nullopt when the response itself is the result: any other
// status, no usable Location, another scheme, or a step from https down to http.
std::optional<std::string> redirect_target(long status, std::string_view from_url,
                                           std::string_view location);

} // namespace zembrik::posix
