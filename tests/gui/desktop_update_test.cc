// The desktop's message boxes as the user answers them, and the update check on its own
// thread against an update page on loopback.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/handlers.h"
#include "gui_harness.h"

namespace zembrik::gui {
namespace {

// The message box on screen, or null.
QMessageBox* shown_box() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
  }
  return nullptr;
}

// Answers the next box that appears with `how`, from the GUI thread's event loop.
void answer_next_box(const std::function<void(QMessageBox&)>& how) {
  auto* poll = new QTimer;
  poll->callOnTimeout([poll, how] {
    if (QMessageBox* box = shown_box()) {
      poll->stop();
      poll->deleteLater();
      how(*box);
    }
  });
  poll->start(10);
}

void press_key(QMessageBox& box, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&box, &press);
}

TEST(MessageBox, AnswersAsTheUserChose) {
  struct Case {
    const char* what;
    int style;
    std::function<void(QMessageBox&)> how;
    int answer;
  };
  const Case cases[] = {
      {"OK button", kStyleInformationOkCancel,
       [](QMessageBox& b) { b.button(QMessageBox::Ok)->click(); }, kResultOk},
      {"Cancel button", kStyleInformationOkCancel,
       [](QMessageBox& b) { b.button(QMessageBox::Cancel)->click(); }, kResultCancel},
      {"Esc with Cancel", kStyleInformationOkCancel,
       [](QMessageBox& b) { press_key(b, Qt::Key_Escape); }, kResultCancel},
      {"title-bar button with Cancel", kStyleInformationOkCancel,
       [](QMessageBox& b) { b.close(); }, kResultCancel},
      {"Enter", kStyleInformationOkCancel,
       [](QMessageBox& b) { press_key(b, Qt::Key_Return); }, kResultOk},
      {"Esc on OK only", kStyleInformationOk,
       [](QMessageBox& b) { press_key(b, Qt::Key_Escape); }, kResultOk},
  };
  GuiHarness h;
  h.desktop.message_box_hook = nullptr;
  for (const Case& c : cases) {
    QString seen_text;
    bool plain = false;
    bool information = false;
    QStringList buttons;
    answer_next_box([&](QMessageBox& box) {
      for (QAbstractButton* b : box.buttons()) buttons << b->text();
      seen_text = box.text();
      plain = box.textFormat() == Qt::PlainText;
      information = box.icon() == QMessageBox::Information;
      c.how(box);
    });
    const int answer = h.desktop.message_box(gbk("<b>文字</b>\r\n第二行"), gbk("标题："), c.style);
    EXPECT_EQ(answer, c.answer) << c.what;
    EXPECT_EQ(seen_text.toStdString(), "<b>文字</b>\r\n第二行") << c.what;
    EXPECT_TRUE(plain && information) << c.what;
    buttons.sort();
    EXPECT_EQ(buttons, c.style == kStyleInformationOkCancel
                           ? QStringList({QStringLiteral("取消"), QStringLiteral("确定")})
                           : QStringList({QStringLiteral("确定")}))
        << c.what;
  }
}

TEST(MessageBox, AnotherThreadsBoxLeavesTheGuiThreadRunning) {
  GuiHarness h;
  h.desktop.message_box_hook = nullptr;
  std::atomic<int> answer{-1};
  std::thread other([&] {
    answer = h.desktop.message_box(gbk("更新？"), gbk("更新提示："), kStyleInformationOkCancel);
  });
  QMessageBox* box = nullptr;
  ASSERT_TRUE(process_until([&] { return (box = shown_box()) != nullptr; }));
  // Not modal: the main window still takes input while the box waits.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  h.query(site::demo_account("safe_buyer").name);
  EXPECT_EQ(h.requests(site::Role::member), 1);
  EXPECT_EQ(answer, -1);
  box->button(QMessageBox::Cancel)->click();
  other.join();
  EXPECT_EQ(answer, kResultCancel);
}

void serve_update_page(GuiHarness& h, const std::string& utf8_body) {
  h.server.set(site::Role::image, "/zembrik/update.html",
               site::Response{200, "text/html; charset=gbk", gbk(utf8_body).bytes});
}

// Runs the update check that the window's first activation asked for, and waits for its end.
void run_update_check(GuiHarness& h) {
  h.widget("")->activateWindow();
  ASSERT_TRUE(process_until([&h] { return h.waiting_threads.size() == 1; }));
  h.start_threads();
  ASSERT_TRUE(process_until([&h] { return h.threads_finished == 1; }));
  QApplication::processEvents();
}

TEST(UpdateCheck, PromptsForEveryVersionButItsOwn) {
  struct Case {
    const char* what;
    std::string page; // UTF-8; null-like "-" for no page at all
    bool prompts;
  };
  const std::string left = "☆☆☆☆☆最新版本→";
  const std::string right = "←最新版本☆☆☆☆☆";
  const Case cases[] = {
      {"the same version", "<p>" + left + "v1.0" + right + "</p>", false},
      {"capital V", left + "V1.0" + right, true},
      {"blank before", left + " v1.0" + right, true},
      {"older version", left + "v0.9" + right, true},
      {"word without markers", "<p>最新版本：v1.0</p>", true},
      {"right marker before left", right + "v1.0" + left, true},
      {"empty page", "", false},
      {"no update page (404)", "-", false},
  };
  for (const Case& c : cases) {
    GuiHarness h;
    h.answers = {kResultCancel};
    if (c.page == "-") {
      h.server.clear();
    } else {
      serve_update_page(h, c.page);
    }
    run_update_check(h);
    EXPECT_EQ(h.requests(site::Role::image), 1) << c.what;
    ASSERT_EQ(h.boxes.size(), c.prompts ? 1u : 0u) << c.what;
    if (c.prompts) {
      EXPECT_EQ(h.boxes[0].title, "更新提示：") << c.what;
      EXPECT_EQ(h.boxes[0].text, "立即更新，请点击“确定”！\r\n\r\n继续使用，请点击“取消”！") << c.what;
      EXPECT_EQ(h.boxes[0].style, kStyleInformationOkCancel) << c.what;
      EXPECT_FALSE(h.boxes[0].window_visible) << c.what << ": hidden before the prompt";
    }
    EXPECT_TRUE(h.widget("")->isVisible()) << c.what;
    EXPECT_TRUE(h.opened.empty()) << c.what;
    EXPECT_FALSE(h.ended_with) << c.what;
    if (c.page != "-") {
      EXPECT_EQ(to_utf8(update_page_text()), c.page) << c.what;
    }
    // Activated again: no second check.
    h.widget("")->hide();
    h.widget("")->show();
    h.widget("")->activateWindow();
    QApplication::processEvents();
    EXPECT_TRUE(h.waiting_threads.empty()) << c.what;
  }
}

TEST(UpdateCheck, UnreachablePageShowsNothing) {
  GuiHarness h;
  config::set_maker_pages(config::maker_page(), "http://127.0.0.1:1/zembrik/update.html",
                          config::download_page());
  run_update_check(h);
  EXPECT_TRUE(h.boxes.empty());
  EXPECT_TRUE(update_page_text().empty());
  EXPECT_TRUE(h.widget("")->isVisible());
}

TEST(UpdateCheck, OkOpensTheDownloadPageAndEndsWithoutTheClosePrompt) {
  GuiHarness h;
  serve_update_page(h, "☆☆☆☆☆最新版本→v2.0←最新版本☆☆☆☆☆");
  h.answers = {kResultOk};
  run_update_check(h);
  ASSERT_EQ(h.boxes.size(), 1u);
  EXPECT_EQ(h.boxes[0].title, "更新提示：");
  EXPECT_EQ(h.opened, std::vector<std::string>{config::download_page()});
  EXPECT_EQ(h.ended_with, 0);
  EXPECT_EQ(exit_clean_up_runs(), 1);
  EXPECT_TRUE(h.window->destroyed());
  EXPECT_TRUE(update_page_text().empty()); // released by the clean-up
}

TEST(UpdateCheck, EndingWhileTheGuiThreadWaitsInABox) {
  GuiHarness h;
  h.desktop.message_box_hook = nullptr;
  // The program's end closes what is left on screen, as the process's end would.
  h.window->on_end_program = [&h](int code) {
    h.ended_with = code;
    if (QMessageBox* box = shown_box()) box->done(QMessageBox::Ok);
  };
  QWidget* main = h.widget("");
  std::thread update;
  answer_next_box([&](QMessageBox&) { update = std::thread([&h] { h.window->end_program(0); }); });
  h.left_click(超级按钮_关于); // the About box waits on the GUI thread
  update.join();
  EXPECT_EQ(h.ended_with, 0);
  EXPECT_EQ(exit_clean_up_runs(), 1);
  EXPECT_TRUE(h.window->destroyed());
  // No close prompt follows: no handler runs once the program is ending.
  main->close();
  QApplication::processEvents();
  EXPECT_EQ(shown_box(), nullptr);
  EXPECT_EQ(exit_clean_up_runs(), 1);
}

} // namespace
} // namespace zembrik::gui

// fontconfig, loaded by Qt for the offscreen platform, keeps caches it never frees.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
