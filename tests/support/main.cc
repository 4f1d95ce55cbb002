#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/posix/posix_platform.h"

// Every test binary starts with the real code page installed, so that gbk() constants work;
// tests install the rest of the platform (fakes or stand-ins) themselves.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  zembrik::Platform base;
  base.code_page = &zembrik::posix::code_page_936();
  zembrik::install_platform(base);
  return RUN_ALL_TESTS();
}
