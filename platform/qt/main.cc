// The window program: the core on the Linux stand-ins, in a Qt Widgets window.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include "app/state.h"
#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_window.h"

int main(int argc, char** argv) {
  using namespace zembrik;
  QApplication application(argc, argv);
  QApplication::setWindowIcon(qt::program_icon());
  QApplication::setDesktopFileName(QStringLiteral("zembrik"));
  posix::Services services;
  qt::QtDesktop desktop;
  install_platform(services.bundle(nullptr, &desktop));
  services.registry.initialize_thread();
  create_module_state();
  {
    qt::QtWindow window;
    window.on_end_program = [&services](int code) {
      services.registry.uninitialize_thread();
      std::fflush(nullptr);
      std::_Exit(code);
    };
    install_platform(services.bundle(&window, &desktop));
    window.show();
    QApplication::exec();
    install_platform(services.bundle(nullptr, &desktop));
  }
  // Ending through end_program has already run the clean-up and left the process.
  if (exit_clean_up_runs() == 0) exit_clean_up();
  services.registry.uninitialize_thread();
  return 0;
}
