// download_resource over the system's WinHttpRequest: WinHTTP has no cache, so every call
// reads from the server. Each call initialises COM for its own thread and has its own request
// object, so it works from the UI thread and the update check thread alike.
#include <windows.h>

#include "platform/request_download.h"
#include "platform/win32/win32_platform.h"

namespace zembrik::win32 {
namespace {

// The system component has no cap of its own; a larger body is a failure, as on Linux.
constexpr std::size_t kMaxBodyBytes = std::size_t{32} * 1024 * 1024;

} // namespace

Bytes WinHttpDownloader::download_resource(const Text& address) {
  const HRESULT init = CoInitialize(nullptr);
  Bytes out = download_with_request(make_winhttp_request(),
                                    code_page_936().to_utf16(address.bytes));
  if (out.size() > kMaxBodyBytes) out.clear();
  if (SUCCEEDED(init)) CoUninitialize();
  return out;
}

} // namespace zembrik::win32
