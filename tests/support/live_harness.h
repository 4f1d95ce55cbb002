#pragma once
// The real platform of the check tool pointed at a loopback site, for integration tests (they
// link zembrik_site and know ZEMBRIK_CHECK_BINARY).
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/config.h"
#include "app/state.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/headless_window.h"
#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "site.h"

namespace zembrik::test {

// A UTF-8 template of tests/data, as it is on disk.
inline std::string read_fixture(const std::string& name) {
  std::ifstream in(std::string(ZEMBRIK_TEST_DATA) + "/" + name, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

// The real stand-ins, a headless window and a fake desktop, with the Taobao hosts set to a
// loopback site of its own. Installs itself with fresh module state; puts the bare code page
// back when it goes.
struct LiveHarness {
  site::SiteServer server;
  posix::Services services;
  headless::FakeDesktop desktop;
  std::unique_ptr<headless::HeadlessWindow> window;

  LiveHarness() {
    config::set_taobao_hosts(server.member_host(), server.rating_host(), server.image_host());
    install_platform(services.bundle(nullptr, &desktop));
    create_module_state();
    window = std::make_unique<headless::HeadlessWindow>();
    install_platform(services.bundle(window.get(), &desktop));
  }
  ~LiveHarness() {
    exit_clean_up();
    Platform base;
    base.code_page = &posix::code_page_936();
    install_platform(base);
  }
  LiveHarness(const LiveHarness&) = delete;
  LiveHarness& operator=(const LiveHarness&) = delete;

  // Serves the fixture (filled in and made GBK) at the raw target of the role's host.
  void page(site::Role role, const std::string& target, const std::string& fixture,
            int status = 200) {
    server.set(role, target,
               {status, "text/html; charset=gbk", site::gbk_page(read_fixture(fixture), server)});
  }
  void member(const std::string& name_utf8, const std::string& fixture) {
    page(site::Role::member, site::member_target(name_utf8), fixture);
  }
  void query(const std::string& name_utf8) { window->query_account(gbk(name_utf8)); }
  std::string text(ControlName c) const { return to_utf8(window->read_text(c)); }
  std::vector<std::string> targets() const {
    std::vector<std::string> out;
    for (const auto& r : server.requests())
      out.push_back(r.target);
    return out;
  }
};

// Runs the command (a program, or a program with its first arguments, as the shell reads
// them) with the arguments, each quoted for the shell, so none may hold a single quote; gives
// its exit status and standard output.
inline std::pair<int, std::string> run_program(std::string command,
                                               const std::vector<std::string>& args) {
  for (const auto& a : args)
    command += " '" + a + "'";
  command += " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
    out.append(buffer, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

// Runs the check tool with the arguments.
inline std::pair<int, std::string> run_check(const std::vector<std::string>& args) {
  return run_program(ZEMBRIK_CHECK_BINARY, args);
}

// The check tool's options pointing it at the server's hosts, ending in "--".
inline std::vector<std::string> check_host_options(const site::SiteServer& server, bool json) {
  std::vector<std::string> args = {"--member-host",      server.member_host(), "--rating-host",
                                   server.rating_host(), "--image-host",       server.image_host()};
  if (json) args.emplace_back("--json");
  args.emplace_back("--");
  return args;
}

} // namespace zembrik::test
