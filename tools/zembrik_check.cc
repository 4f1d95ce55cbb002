// zembrik-check: runs queries exactly as the window does, on one headless main window, and
// prints the window's state after each.
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/config.h"
#include "app/controls.h"
#include "app/state.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/headless_window.h"
#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "tools/check/report.h"

namespace {

using namespace zembrik;

constexpr const char* kUsage =
    "usage: zembrik-check [--member-host H] [--rating-host H] [--image-host H] [--json] [--] "
    "ACCOUNT...\n";

int usage_error(const std::string& message) {
  std::cerr << "zembrik-check: " << message << "\n" << kUsage;
  return 2;
}

} // namespace

int main(int argc, char** argv) {
  std::string member = config::member_host();
  std::string rating = config::rating_host();
  std::string image = config::image_host();
  std::vector<std::string> accounts;
  bool json = false;
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (options_done) {
      accounts.emplace_back(arg);
    } else if (arg == "--member-host" || arg == "--rating-host" || arg == "--image-host") {
      if (i + 1 >= argc || std::strlen(argv[i + 1]) == 0) {
        return usage_error(std::string(arg) + " needs a host");
      }
      std::string& host = arg == "--member-host" ? member : arg == "--rating-host" ? rating : image;
      host = argv[++i];
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--") {
      options_done = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return usage_error("unknown option " + std::string(arg));
    } else {
      accounts.emplace_back(arg);
    }
  }
  if (accounts.empty()) return usage_error("no account given");
  config::set_taobao_hosts(member, rating, image);

  posix::Services services;
  headless::FakeDesktop desktop;
  install_platform(services.bundle(nullptr, &desktop));

  services.registry.initialize_thread();
  create_module_state();
  {
    headless::HeadlessWindow window;
    install_platform(services.bundle(&window, &desktop));
    for (const std::string& account : accounts) {
      window.query_account(gbk(account));
      std::cout << (json ? check::json_report(window) : check::summary_report(window)) << "\n";
      std::cout.flush();
    }
    install_platform(services.bundle(nullptr, &desktop));
  }
  exit_clean_up();
  services.registry.uninitialize_thread();
  return 0;
}
