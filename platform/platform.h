#pragma once
#include "platform/automation.h"
#include "platform/code_page.h"
#include "platform/desktop.h"
#include "platform/window.h"

namespace zembrik {

// The surroundings the core runs in. Installed once by the program (or a test) before the
// core is used; the core never owns these objects.
struct Platform {
  Window* window = nullptr;
  Desktop* desktop = nullptr;
  Clock* clock = nullptr;
  Downloader* downloader = nullptr;
  automation::Runtime* automation = nullptr;
  const CodePage* code_page = nullptr;
};

void install_platform(const Platform& platform);
const Platform& platform();

} // namespace zembrik
