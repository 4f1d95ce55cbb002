#pragma once
#include <string>

#include "platform/automation.h"
#include "text/bytes.h"

namespace zembrik {

// download_resource's GET over a WinHttpRequest object (the system's or our stand-in): its own
// time-outs (15 s to connect, 30 s for any wait while sending or receiving), headers that keep
// caches out of the way, the whole body. Empty bytes when the object is null or any call fails.
Bytes download_with_request(const automation::ObjectRef& request, const std::u16string& url);

} // namespace zembrik
