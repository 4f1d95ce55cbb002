// download_resource over the system's WinHttpRequest: WinHTTP has no cache, so every call
// reads from the server. Each call initialises COM for its own thread and has its own request
// object, so it works from the UI thread and the update check thread alike.
#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace zembrik::win32 {
namespace {

constexpr int kConnectTimeoutMs = 15000;
constexpr int kIdleTimeoutMs = 30000;
constexpr std::size_t kMaxBodyBytes = std::size_t{32} * 1024 * 1024;

} // namespace

Bytes WinHttpDownloader::download_resource(const Text& address) {
  const HRESULT init = CoInitialize(nullptr);
  Bytes out;
  if (const auto request = make_winhttp_request()) {
    const std::u16string url = code_page_936().to_utf16(address.bytes);
    if (request->call("SetTimeouts", {0, kConnectTimeoutMs, kIdleTimeoutMs, kIdleTimeoutMs}) &&
        request->call("Open", {std::u16string(u"GET"), url, false}) &&
        request->call("SetRequestHeader",
                      {std::u16string(u"Cache-Control"), std::u16string(u"no-cache")}) &&
        request->call("SetRequestHeader",
                      {std::u16string(u"Pragma"), std::u16string(u"no-cache")}) &&
        request->call("Send")) {
      const auto body = request->get("ResponseBody");
      if (const Bytes* bytes = body ? body->bytes() : nullptr;
          bytes && bytes->size() <= kMaxBodyBytes) {
        out = *bytes;
      }
    }
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return out;
}

} // namespace zembrik::win32
