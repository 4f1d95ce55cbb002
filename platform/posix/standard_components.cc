#include "platform/posix/posix_platform.h"

namespace zembrik::posix {

void register_standard_components(Registry& registry) {
  registry.add("WinHttp.WinHttpRequest.5.1", make_winhttp_request);
  registry.add("VBScript.RegExp", make_regexp);
}

} // namespace zembrik::posix
