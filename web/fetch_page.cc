#include <string_view>

#include "platform/platform.h"
#include "web/web.h"

namespace zembrik {
namespace {

constexpr int kTimeoutMs = 15000;
constexpr std::string_view kHeadersBefore = "Referer: ";
constexpr std::string_view kHeadersAfter =
    "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nUser-Agent: Mozilla/5.0 (compatible; MSIE 9.0; "
    "Windows NT 6.1; Trident/5.0)\r\nContent-Type: application/x-www-form-urlencoded";

void set_headers(automation::Object& request, const Text& address) {
  const std::string block = std::string(kHeadersBefore) + address.bytes + std::string(kHeadersAfter);
  std::size_t start = 0;
  while (start <= block.size()) {
    std::size_t end = block.find("\r\n", start);
    if (end == std::string::npos) end = block.size();
    const std::string_view line(block.data() + start, end - start);
    if (const auto colon = line.find(':'); colon != std::string_view::npos) {
      request.call("SetRequestHeader", {to_wide(Text(std::string(line.substr(0, colon)))),
                                        to_wide(Text(std::string(line.substr(colon + 1))))});
    }
    start = end + 2;
  }
}

} // namespace

Bytes fetch_page(const Text& address) {
  auto* runtime = platform().automation;
  if (runtime == nullptr) return {};
  runtime->initialize_thread();
  Bytes result;
  if (const auto request = runtime->create("WinHttp.WinHttpRequest.5.1")) {
    request->call("SetTimeouts", {kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs});
    request->call("Open", {to_wide(Text("GET")), to_wide(address), false});
    set_headers(*request, address);
    request->call("Send", {to_wide(Text())});
    if (const auto body = request->get("ResponseBody")) {
      if (const auto* bytes = body->bytes()) result = *bytes;
    }
    runtime->uninitialize_thread();
    // The request object is released here, after the uninitialisation, as it is on Windows.
  } else {
    runtime->uninitialize_thread();
  }
  return result;
}

} // namespace zembrik
