#include "platform/request_download.h"

namespace zembrik {
namespace {

constexpr int kConnectTimeoutMs = 15000; // name resolution counts within it
constexpr int kIdleTimeoutMs = 30000;    // longest wait for the server while sending or receiving

} // namespace

Bytes download_with_request(const automation::ObjectRef& request, const std::u16string& url) {
  if (!request ||
      !request->call("SetTimeouts", {0, kConnectTimeoutMs, kIdleTimeoutMs, kIdleTimeoutMs}) ||
      !request->call("Open", {std::u16string(u"GET"), url, false}) ||
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

} // namespace zembrik
