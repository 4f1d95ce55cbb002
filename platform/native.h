#pragma once
// The platform services of the system the program is built for: the Windows components on
// Windows, our stand-ins elsewhere. Both namespaces offer the same names (Services,
// code_page_936, make_regexp, make_winhttp_request, register_standard_components).
#ifdef _WIN32
#include "platform/win32/win32_platform.h"
namespace zembrik {
namespace native = win32;
}
#else
#include "platform/posix/posix_platform.h"
namespace zembrik {
namespace native = posix;
}
#endif
