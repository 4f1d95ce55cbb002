#include <gtest/gtest.h>

#include "platform/native.h"
#include "platform/platform.h"

#ifdef _WIN32
#include <objbase.h>
#endif

// Every test binary starts with the real code page installed, so that gbk() constants work;
// tests install the rest of the platform (fakes or stand-ins) themselves. On Windows the main
// thread is a COM apartment for the whole run, as the program's UI thread is, outside the
// registry's own count.
int main(int argc, char** argv) {
#ifdef _WIN32
  CoInitialize(nullptr);
#endif
  testing::InitGoogleTest(&argc, argv);
  zembrik::Platform base;
  base.code_page = &zembrik::native::code_page_936();
  zembrik::install_platform(base);
  const int result = RUN_ALL_TESTS();
#ifdef _WIN32
  CoUninitialize();
#endif
  return result;
}
