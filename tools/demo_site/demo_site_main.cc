// zembrik-demo-site [--member-port P] [--rating-port P] [--image-port P] [--newest-version V]
//
// Serves the demo accounts on 127.0.0.1 (default ports 18080, 18081, 18082), and on the image
// host the maker's pages, whose update page names V (default v1.0, the program's own version,
// so that no update is offered). Once listening it
// prints "ready <member host> <rating host> <image host>", then one line per account
// "account <label> <name> <member page address>" (UTF-8), and flushes. It serves until SIGTERM
// or SIGINT and then stops cleanly with exit code 0; standard input is not read, so it can be
// started in the background with `&` and stopped with `kill <pid>`. A port that cannot be bound
// gives a message on standard error and exit code 1.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include <pthread.h>

#include "site.h"

namespace {

int usage() {
  std::cerr << "usage: zembrik-demo-site [--member-port P] [--rating-port P] [--image-port P]"
               " [--newest-version V]\n";
  return 2;
}

bool parse_port(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > 65535) return false;
  port = value;
  return true;
}

} // namespace

int main(int argc, char** argv) {
  int ports[3] = {18080, 18081, 18082};
  std::string newest_version = "v1.0";
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--newest-version" && i + 1 < argc) {
      newest_version = argv[++i];
      continue;
    }
    int* port = option == "--member-port"   ? &ports[0]
                : option == "--rating-port" ? &ports[1]
                : option == "--image-port"  ? &ports[2]
                                            : nullptr;
    if (port == nullptr || i + 1 >= argc || !parse_port(argv[i + 1], *port)) return usage();
    ++i;
  }

  // Blocked before any thread starts, so that every thread inherits the mask and sigwait below
  // is the only receiver of the two signals.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  try {
    zembrik::site::SiteServer server(ports[0], ports[1], ports[2]);
    server.load_demo_accounts();
    server.load_maker_pages(newest_version);
    std::cout << "ready " << server.member_host() << ' ' << server.rating_host() << ' '
              << server.image_host() << '\n';
    for (const auto& account : zembrik::site::demo_accounts()) {
      std::cout << "account " << account.label << ' ' << account.name << " http://"
                << server.member_host() << zembrik::site::member_target(account.name) << '\n';
    }
    std::cout.flush();
    int received = 0;
    sigwait(&stop_signals, &received);
  } catch (const std::exception& error) {
    std::cerr << "zembrik-demo-site: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
