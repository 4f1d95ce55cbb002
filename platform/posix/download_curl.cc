// download_resource over our WinHttpRequest stand-in: the same wire behaviour (redirects, no
// decompression, no cookies, the body cap). Each call has its own request object, so calls from
// several threads do not meet.
#include "platform/posix/posix_platform.h"
#include "platform/request_download.h"

namespace zembrik::posix {

Bytes CurlDownloader::download_resource(const Text& address) {
  return download_with_request(make_winhttp_request(), code_page_936().to_utf16(address.bytes));
}

} // namespace zembrik::posix
