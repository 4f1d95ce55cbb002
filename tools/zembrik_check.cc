// zembrik-check: runs queries exactly as the window does, on one headless main window, and
// prints the window's state after each.
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
#include "platform/native.h"
#include "tools/check/report.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

using namespace zembrik;

constexpr const char* kUsage =
    "usage: zembrik-check [--member-host H] [--rating-host H] [--image-host H] [--json] [--] "
    "ACCOUNT...\n";

int usage_error(const std::string& message) {
  std::cerr << "zembrik-check: " << message << "\n" << kUsage;
  return 2;
}

// The command line as UTF-8, the program's name left out. On Windows it is read in UTF-16,
// since the ANSI arguments would have lost what code page 936 cannot hold.
std::vector<std::string> arguments(int argc, char** argv) {
  std::vector<std::string> out;
#ifdef _WIN32
  (void)argc;
  (void)argv;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide != nullptr && i < count; ++i) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(bytes > 0 ? static_cast<std::size_t>(bytes - 1) : 0, '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), bytes, nullptr, nullptr);
    out.push_back(std::move(arg));
  }
  LocalFree(wide);
  // UTF-8 out, line feeds unchanged, as on Linux.
  SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
#else
  for (int i = 1; i < argc; ++i) out.emplace_back(argv[i]);
#endif
  return out;
}

} // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = arguments(argc, argv);
  std::string member = config::member_host();
  std::string rating = config::rating_host();
  std::string image = config::image_host();
  std::vector<std::string> accounts;
  bool json = false;
  bool options_done = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (options_done) {
      accounts.emplace_back(arg);
    } else if (arg == "--member-host" || arg == "--rating-host" || arg == "--image-host") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        return usage_error(std::string(arg) + " needs a host");
      }
      std::string& host = arg == "--member-host" ? member : arg == "--rating-host" ? rating : image;
      host = args[++i];
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

  native::Services services;
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
