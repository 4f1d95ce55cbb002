// The Qt window on the offscreen platform, with the real stand-ins against the loopback site.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

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

namespace zembrik {
namespace {

using namespace controls;

// One application for the whole run, never destroyed: tearing it down among the static
// destructors at exit crashes.
QApplication& application() {
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
};

// The window with a scripted desktop: boxes are answered from `answers` (then OK), addresses
// and threads are recorded, never opened or started.
struct GuiHarness {
  site::SiteServer server;
  posix::Services services;
  qt::QtDesktop desktop;
  std::unique_ptr<qt::QtWindow> window;
  std::vector<Box> boxes;
  std::vector<int> answers;
  std::vector<std::string> opened;
  int threads_started = 0;
  std::optional<int> ended_with;

  GuiHarness() {
    application();
    server.load_demo_accounts();
    config::set_taobao_hosts(server.member_host(), server.rating_host(), server.image_host());
    desktop.message_box_hook = [this](const Text& text, const Text& title, int style) {
      boxes.push_back({to_utf8(text), to_utf8(title), style});
      if (answers.empty()) return kResultOk;
      const int answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    };
    desktop.open_address_hook = [this](const Text& address) {
      opened.push_back(to_utf8(address));
      return true;
    };
    desktop.start_thread_hook = [this](const std::function<void()>&) { ++threads_started; };
    install_platform(services.bundle(nullptr, &desktop));
    create_module_state();
    window = std::make_unique<qt::QtWindow>();
    window->on_end_program = [this](int code) { ended_with = code; };
    install_platform(services.bundle(window.get(), &desktop));
    window->show();
  }
  ~GuiHarness() {
    window.reset();
    exit_clean_up();
    Platform base;
    base.code_page = &posix::code_page_936();
    install_platform(base);
  }

  void key(ControlName control, int key, const QString& text = {}) {
    QWidget* w = window->widget(control);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
  }
  void type_account(const std::string& name_utf8) {
    static_cast<QLineEdit*>(window->widget(编辑框用户名))->setText(QString::fromUtf8(name_utf8));
  }
  int member_requests() const {
    int n = 0;
    for (const auto& r : server.requests())
      n += r.role == site::Role::member ? 1 : 0;
    return n;
  }
};

TEST(QtWindow, StartsEmptyWithThePendingPicture) {
  GuiHarness h;
  EXPECT_EQ(h.window->read_picture(图片框安全), resources::picture_pending());
  EXPECT_TRUE(h.window->read_picture(图片框信用).empty());
  for (const ControlRecord& record : window_description()) {
    if (record.kind != ControlKind::edit_box) continue;
    const std::string expected = record.name == 编辑框安全 ? "↑查询后单击查看详细信息↑" : "";
    EXPECT_EQ(to_utf8(h.window->read_text(record.name)), expected) << record.name;
  }
  QWidget* main = h.window->widget("");
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Zembrik"));
  EXPECT_EQ(main->minimumSize(), main->maximumSize());
  EXPECT_FALSE(main->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  // Positions are relative to the parent group's outer corner.
  EXPECT_EQ(h.window->widget(编辑框用户名)->geometry(), QRect(72, 23, 200, 22));
  EXPECT_EQ(h.window->widget(编辑框用户名)->parentWidget(), h.window->widget(分组框查询));
}

TEST(QtWindow, TabMovesAmongTheFourStopsOnly) {
  GuiHarness h;
  QWidget* main = h.window->widget("");
  main->activateWindow();
  QApplication::processEvents();
  h.window->widget(超级按钮_说明)->setFocus(Qt::TabFocusReason);
  std::vector<QWidget*> visited;
  for (int i = 0; i < 5; ++i) {
    visited.push_back(QApplication::focusWidget());
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &tab);
  }
  const std::vector<QWidget*> expected = {
      h.window->widget(超级按钮_说明), h.window->widget(超级按钮_关于),
      h.window->widget(编辑框用户名), h.window->widget(超级按钮查询),
      h.window->widget(超级按钮_说明)};
  EXPECT_EQ(visited, expected);
  // The first activation started the update check once.
  main->activateWindow();
  QApplication::processEvents();
  EXPECT_EQ(h.threads_started, 1);
}

TEST(QtWindow, EnterStartsExactlyOneQuery) {
  GuiHarness h;
  h.type_account(site::demo_account("safe_buyer").name);
  h.key(编辑框用户名, Qt::Key_A, QStringLiteral("a"));
  EXPECT_EQ(h.member_requests(), 0);
  h.type_account(site::demo_account("safe_buyer").name);
  h.key(编辑框用户名, Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_EQ(h.member_requests(), 1);
  EXPECT_EQ(to_utf8(h.window->read_text(编辑框id)), site::demo_account("safe_buyer").user_id);
  EXPECT_EQ(h.window->read_picture(图片框安全), resources::picture_safe());
  EXPECT_TRUE(h.window->widget(编辑框用户名)->isEnabled());
}

TEST(QtWindow, ClosePromptOffersTheMakerPage) {
  struct Case {
    int answer;
    bool opens;
  };
  for (const Case& c : {Case{kResultOk, true}, Case{kResultCancel, false}}) {
    GuiHarness h;
    h.answers = {c.answer};
    h.window->widget("")->close();
    ASSERT_EQ(h.boxes.size(), 1u);
    EXPECT_EQ(h.boxes[0].title, "更多精彩：");
    EXPECT_EQ(h.boxes[0].text, "更多精彩，请点击“确定”！\r\n\r\n关闭软件，请点击“取消”！ ");
    EXPECT_EQ(h.boxes[0].style, kStyleInformationOkCancel);
    EXPECT_EQ(h.opened, c.opens ? std::vector<std::string>{config::maker_page()}
                                : std::vector<std::string>{});
    EXPECT_TRUE(h.window->destroyed());
    EXPECT_TRUE(h.window->read_text(编辑框安全).empty());
  }
}

TEST(QtWindow, EndingFromAnotherThreadRunsTheCleanUpOnceWithoutPrompt) {
  GuiHarness h;
  std::thread other([&h] { h.window->end_program(3); });
  while (!h.ended_with)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  other.join();
  EXPECT_EQ(h.ended_with, 3);
  EXPECT_EQ(exit_clean_up_runs(), 1);
  EXPECT_TRUE(h.window->destroyed());
  EXPECT_TRUE(h.boxes.empty());
}

} // namespace
} // namespace zembrik

// fontconfig, loaded by Qt for the offscreen platform, keeps caches it never frees.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
