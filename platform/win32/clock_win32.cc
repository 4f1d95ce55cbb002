#include <windows.h>

#include "platform/win32/win32_platform.h"

namespace zembrik::win32 {

LocalTime SystemClock::now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

} // namespace zembrik::win32
