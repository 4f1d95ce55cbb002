// The Qt window on the offscreen platform with the real stand-ins against the loopback site,
// and a desktop whose boxes, addresses, sounds and threads the test controls.
#pragma once
#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/config.h"
#include "app/controls.h"
#include "app/state.h"
#include "app/window_description.h"
#include "platform/platform.h"
#include "platform/posix/posix_platform.h"
#include "platform/qt/qt_desktop.h"
#include "platform/qt/qt_window.h"
#include "resources.h"
#include "site.h"

namespace zembrik::gui {

using namespace controls;

// One application for the whole run, never destroyed: tearing it down among the static
// destructors at exit crashes.
inline QApplication& application() {
  static int argc = 1;
  static char name[] = "zembrik_gui_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

struct Box {
  std::string text;
  std::string title;
  int style;
  bool window_visible; // the main window's visibility while the box was up
};

// Runs the GUI thread's events until `done` holds, for at most about ten seconds.
inline bool process_until(const std::function<bool()>& done) {
  for (int i = 0; i < 2000 && !done(); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

// Boxes are answered from `answers` (then OK) on the GUI thread, addresses and sounds are
// recorded, never opened or played. Threads are kept, not started, until start_threads().
struct GuiHarness {
  site::SiteServer server;
  posix::Services services;
  qt::QtDesktop desktop;
  std::unique_ptr<qt::QtWindow> window;
  std::vector<Box> boxes;
  std::vector<int> answers;
  std::vector<std::string> opened;
  bool open_succeeds = true;
  std::vector<Bytes> sounds;
  std::vector<std::function<void()>> waiting_threads;
  std::vector<std::thread> threads;
  std::atomic<int> threads_finished{0};
  std::optional<int> ended_with;

  GuiHarness() {
    application();
    // A window closed by an earlier test ended the application's loop when none was running;
    // Qt then returns from every nested loop (message boxes included) at once, until the
    // application's loop has run again.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QApplication::exec();
    server.load_demo_accounts();
    server.load_maker_pages("v1.0");
    config::set_taobao_hosts(server.member_host(), server.rating_host(), server.image_host());
    config::set_maker_pages("http://" + server.image_host() + "/",
                            "http://" + server.image_host() + "/zembrik/update.html",
                            "http://" + server.image_host() + "/zembrik/download.html");
    desktop.message_box_hook = [this](const Text& text, const Text& title, int style) {
      const QWidget* main = window ? window->widget("") : nullptr;
      boxes.push_back({to_utf8(text), to_utf8(title), style, main && main->isVisible()});
      if (answers.empty()) return kResultOk;
      const int answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    };
    desktop.open_address_hook = [this](const Text& address) {
      opened.push_back(to_utf8(address));
      return open_succeeds;
    };
    desktop.play_sound_hook = [this](const Bytes& wav) { sounds.push_back(wav); };
    desktop.start_thread_hook = [this](std::function<void()> body) {
      waiting_threads.push_back(std::move(body));
    };
    install_platform(services.bundle(nullptr, &desktop));
    create_module_state();
    window = std::make_unique<qt::QtWindow>();
    window->on_end_program = [this](int code) { ended_with = code; };
    install_platform(services.bundle(window.get(), &desktop));
    window->show();
  }
  ~GuiHarness() {
    process_until([this] { return threads_finished == static_cast<int>(threads.size()); });
    for (std::thread& t : threads) t.join();
    window.reset();
    exit_clean_up();
    Platform base;
    base.code_page = &posix::code_page_936();
    install_platform(base);
  }
  GuiHarness(const GuiHarness&) = delete;
  GuiHarness& operator=(const GuiHarness&) = delete;

  // Starts the threads the program asked for so far.
  void start_threads() {
    for (auto& body : waiting_threads) {
      threads.emplace_back([this, body = std::move(body)] {
        body();
        ++threads_finished;
      });
    }
    waiting_threads.clear();
  }

  QWidget* widget(ControlName control) const { return window->widget(control); }

  void key(ControlName control, int key, const QString& text = {}) {
    QWidget* w = widget(control);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
  }
  void type_account(const std::string& name_utf8) {
    static_cast<QLineEdit*>(widget(编辑框用户名))->setText(QString::fromUtf8(name_utf8));
  }
  void query(const std::string& name_utf8) {
    type_account(name_utf8);
    key(编辑框用户名, Qt::Key_Return, QStringLiteral("\r"));
  }
  void left_click(ControlName control, QPoint at = {5, 5}) {
    QWidget* w = widget(control);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
  }
  void pointer_enters(ControlName control) {
    QWidget* w = widget(control);
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)));
    QApplication::sendEvent(w, &enter);
  }
  void pointer_leaves(ControlName control) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget(control), &leave);
  }
  // The control as it is drawn now.
  QImage image(ControlName control) const {
    QApplication::processEvents();
    return widget(control)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  int requests(site::Role role) const {
    int n = 0;
    for (const auto& r : server.requests()) n += r.role == role ? 1 : 0;
    return n;
  }
};

// Pixels of the image for which `is` holds.
inline int count_pixels(const QImage& image, const std::function<bool(QColor)>& is) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += is(image.pixelColor(x, y)) ? 1 : 0;
  }
  return n;
}
inline bool reddish(QColor c) {
  return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}
inline bool bluish(QColor c) {
  return c.blue() > 180 && c.red() < 90 && c.green() < 90;
}
inline bool yellowish(QColor c) {
  return c.red() > 180 && c.green() > 180 && c.blue() < 90;
}
inline bool blackish(QColor c) {
  return c.red() < 60 && c.green() < 60 && c.blue() < 60;
}

} // namespace zembrik::gui
