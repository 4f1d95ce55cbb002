// download_resource over our WinHttpRequest stand-in: the same wire behaviour (redirects, no
// decompression, no cookies, the body cap), with its own time-outs and cache-defeating headers.
// Each call has its own request object, so calls from several threads do not meet.
#include <string>

#include "platform/posix/posix_platform.h"

namespace zembrik::posix {
namespace {

constexpr int kConnectTimeoutMs = 15000; // name resolution counts within it
constexpr int kIdleTimeoutMs = 30000;    // longest wait for the server while sending or receiving

} // namespace

Bytes CurlDownloader::download_resource(const Text& address) {
  const auto request = make_winhttp_request();
  const std::u16string url = code_page_936().to_utf16(address.bytes);
  const std::u16string get = u"GET";
  if (!request->call("SetTimeouts", {0, kConnectTimeoutMs, kIdleTimeoutMs, kIdleTimeoutMs}) ||
      !request->call("Open", {get, url, false}) ||
      !request->call("SetRequestHeader",
                     {std::u16string(u"Cache-Control"), std::u16string(u"no-cache")}) ||
      !request->call("SetRequestHeader",
                     {std::u16string(u"Pragma"), std::u16string(u"no-cache")}) ||
      !request->call("Send")) {
    return {};
  }
  const auto body = request->get("ResponseBody");
  const Bytes* bytes = body ? body->bytes() : nullptr;
  return bytes ? *bytes : Bytes{};
}

} // namespace zembrik::posix
