#pragma once
#include <string_view>

#include "platform/automation.h"
#include "platform/code_page.h"
#include "platform/component_registry.h"
#include "platform/desktop.h"
#include "platform/platform.h"

namespace zembrik::win32 {

// Code page 936 through MultiByteToWideChar / WideCharToMultiByte.
const CodePage& code_page_936();

// A new instance of the system's component of that ProgID, driven late-bound through
// IDispatch; null when it cannot be created.
automation::ObjectRef create_component(std::string_view prog_id);
// The system's "VBScript.RegExp" and "WinHttp.WinHttpRequest.5.1".
automation::ObjectRef make_regexp();
automation::ObjectRef make_winhttp_request();
// Registers both under their ProgIDs.
void register_standard_components(Registry& registry);

// download_resource over the system's WinHttpRequest, which keeps no cache; callable from any
// thread (it pairs COM initialisation itself).
class WinHttpDownloader : public Downloader {
public:
  Bytes download_resource(const Text& address) override;
};

// The system's local clock.
class SystemClock : public Clock {
public:
  LocalTime now() override;
};

// The real Windows services; the window and the desktop are the caller's.
struct Services {
  Services() { register_standard_components(registry); }
  Platform bundle(Window* window, Desktop* desktop) {
    return {window, desktop, &clock, &downloader, &registry, &code_page_936()};
  }

  Registry registry;
  WinHttpDownloader downloader;
  SystemClock clock;
};

} // namespace zembrik::win32
