// Renders the main window to PNG files: at start-up, then after a query of each demo account
// named on the command line, against the demo site in-process. Boxes are answered OK without
// being shown and no thread is started, so nothing leaves loopback.
//   QT_QPA_PLATFORM=offscreen zembrik-screenshot OUT_DIR [LABEL...]
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>
#include <string>

#include "app/config.h"
#include "app/controls.h"
#include "app/state.h"
#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_window.h"
#include "query/query.h"
#include "site.h"

int main(int argc, char** argv) {
  using namespace zembrik;
  if (argc < 2) {
    std::fprintf(stderr, "usage: zembrik-screenshot OUT_DIR [LABEL...]\n");
    return 2;
  }
  QApplication application(argc, argv);
  const std::string out = argv[1];
  if (!QDir().mkpath(QString::fromStdString(out))) {
    std::fprintf(stderr, "cannot make %s\n", out.c_str());
    return 1;
  }
  posix::Services services;
  install_platform(services.bundle(nullptr, nullptr));
  site::SiteServer server;
  server.load_demo_accounts();
  config::set_taobao_hosts(server.member_host(), server.rating_host(), server.image_host());
  qt::QtDesktop desktop;
  desktop.message_box_hook = [](const Text& text, const Text&, int) {
    std::printf("box: %s\n", to_utf8(text).c_str());
    return kResultOk;
  };
  desktop.open_address_hook = [](const Text&) { return true; };
  desktop.start_thread_hook = [](const std::function<void()>&) {};
  create_module_state();
  qt::QtWindow window;
  window.on_end_program = [](int) {};
  install_platform(services.bundle(&window, &desktop));
  window.show();

  const auto shoot = [&](const std::string& name) {
    QApplication::processEvents();
    const std::string path = out + "/" + name + ".png";
    if (!window.widget("")->grab().save(QString::fromStdString(path))) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
  };
  if (!shoot("start")) return 1;
  for (int i = 2; i < argc; ++i) {
    const site::DemoAccount& account = site::demo_account(argv[i]);
    static_cast<QLineEdit*>(window.widget(controls::编辑框用户名))
        ->setText(QString::fromStdString(account.name));
    run_query();
    if (!shoot(argv[i])) return 1;
  }
  exit_clean_up();
  return 0;
}
