#include "platform/platform.h"

namespace zembrik {
namespace {
Platform installed;
} // namespace

void install_platform(const Platform& p) { installed = p; }
const Platform& platform() { return installed; }

} // namespace zembrik
