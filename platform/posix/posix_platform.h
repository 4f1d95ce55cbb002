#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <vector>
#include <string>
#include <string_view>

#include "platform/automation.h"
#include "platform/component_registry.h"
#include "platform/code_page.h"
#include "platform/desktop.h"
#include "platform/platform.h"

namespace zembrik::posix {

// Code page 936 as Windows converts it (see code_page_posix.cc).
const CodePage& code_page_936();

using zembrik::Registry;

// "VBScript.RegExp" on PCRE2 (16-bit), with the component's JavaScript-style semantics.
automation::ObjectRef make_regexp();
// "WinHttp.WinHttpRequest.5.1" on libcurl.
automation::ObjectRef make_winhttp_request();
// Registers both under their ProgIDs.
void register_standard_components(Registry& registry);

// download_resource on libcurl.
class CurlDownloader : public Downloader {
public:
  Bytes download_resource(const Text& address) override;
};

// The system's local clock.
class SystemClock : public Clock {
public:
  LocalTime now() override;
};

// The real Linux services: both components registered, the download, the clock and the code
// page. The window and the desktop are the caller's.
struct Services {
  Services() { register_standard_components(registry); }
  // These services with the window and desktop, ready for install_platform().
  Platform bundle(Window* window, Desktop* desktop) {
    return {window, desktop, &clock, &downloader, &registry, &code_page_936()};
  }

  Registry registry;
  CurlDownloader downloader;
  SystemClock clock;
};

// Largest body any HTTP read accepts; a larger one is a failure (empty bytes).
inline constexpr std::size_t kMaxBodyBytes = std::size_t{32} * 1024 * 1024;

} // namespace zembrik::posix
