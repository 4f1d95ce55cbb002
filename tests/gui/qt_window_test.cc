// The Qt window on the offscreen platform, with the real stand-ins against the loopback site.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QScreen>
#include <QLineEdit>
#include <QTextEdit>
#include <QTimer>

#include "gui_harness.h"

namespace zembrik::gui {
namespace {

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
  EXPECT_EQ(main->windowIcon().availableSizes().size(), 10);
  // Centred by the described outer size (the offscreen platform draws no frame).
  const QRect screen = main->screen()->geometry();
  EXPECT_EQ(main->frameGeometry().topLeft(),
            QPoint((screen.width() - 395) / 2, (screen.height() - 539) / 2));
  // Every control sits in its parent where the description puts it, relative to the parent
  // group's outer corner.
  for (const ControlRecord& record : window_description().subspan(1)) {
    EXPECT_EQ(h.widget(record.name)->parentWidget(), h.widget(record.parent)) << record.name;
    EXPECT_EQ(h.widget(record.name)->geometry(),
              QRect(record.x, record.y, record.width, record.height))
        << record.name;
  }
  // Of overlapping siblings the earlier one lies above: the underlines over their boxes, the
  // security picture and text over their frame.
  const auto on_top = [&h](ControlName parent, QPoint at) {
    QWidget* w = h.widget(parent)->childAt(at);
    while (w && w->parentWidget() != h.widget(parent)) w = w->parentWidget();
    return w;
  };
  EXPECT_EQ(on_top(分组框信用及评价信息, {140, 195}), h.widget(标签横杠中评));
  EXPECT_EQ(on_top(分组框账号信息, {210, 68}), h.widget(图片框安全));
  EXPECT_EQ(on_top(分组框账号信息, {210, 100}), h.widget(编辑框安全));
  const auto purplish = [](QColor c) {
    return c.red() > 90 && c.blue() > 90 && c.green() < 60;
  };
  EXPECT_GT(count_pixels(h.image(编辑框安全), purplish), 10);
}

TEST(QtWindow, ReadOnlyBoxesCanBeSelectedAndCopiedButNotChanged) {
  GuiHarness h;
  const site::DemoAccount& buyer = site::demo_account("safe_buyer");
  h.query(buyer.name);
  auto* id = static_cast<QLineEdit*>(h.widget(编辑框id));
  EXPECT_TRUE(id->isReadOnly());
  EXPECT_EQ(id->focusPolicy(), Qt::ClickFocus);
  id->selectAll();
  id->copy();
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), buyer.user_id);
  h.key(编辑框id, Qt::Key_X, QStringLiteral("x"));
  EXPECT_EQ(to_utf8(h.window->read_text(编辑框id)), buyer.user_id);
  EXPECT_EQ(id->text().toStdString(), buyer.user_id);
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
  EXPECT_EQ(h.waiting_threads.size(), 1u);
}

TEST(QtWindow, EnterStartsExactlyOneQuery) {
  GuiHarness h;
  h.type_account(site::demo_account("safe_buyer").name);
  h.key(编辑框用户名, Qt::Key_A, QStringLiteral("a"));
  EXPECT_EQ(h.requests(site::Role::member), 0);
  h.type_account(site::demo_account("safe_buyer").name);
  h.key(编辑框用户名, Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_EQ(h.requests(site::Role::member), 1);
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
    EXPECT_FALSE(h.boxes[0].window_visible);
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


TEST(QtWindow, EscClosesThroughThePromptAndTheLoopEndsWithZero) {
  GuiHarness h;
  h.answers = {kResultCancel};
  QTimer::singleShot(0, [&h] { h.key(编辑框用户名, Qt::Key_Escape); });
  QTimer give_up; // only if Esc did nothing
  give_up.callOnTimeout([] { QCoreApplication::exit(99); });
  give_up.start(5000);
  EXPECT_EQ(QApplication::exec(), 0);
  ASSERT_EQ(h.boxes.size(), 1u);
  EXPECT_EQ(h.boxes[0].title, "更多精彩：");
  EXPECT_TRUE(h.opened.empty());
  EXPECT_TRUE(h.window->destroyed());
}

TEST(QtWindow, SecurityPictureOpensTheRatingPageOnlyOnceAnIdIsKnown) {
  GuiHarness h;
  h.left_click(图片框安全);
  EXPECT_TRUE(h.opened.empty());
  h.query(site::demo_account("unknown").name);
  h.left_click(图片框安全);
  EXPECT_TRUE(h.opened.empty());
  const site::DemoAccount& buyer = site::demo_account("safe_buyer");
  h.query(buyer.name);
  h.left_click(图片框安全, {150, 40});
  EXPECT_EQ(h.opened, std::vector<std::string>{"http://" + h.server.rating_host() +
                                                "/user-rate-" + buyer.user_id + ".htm"});
}

TEST(QtWindow, ClosingDuringAQueryStopsIt) {
  GuiHarness h;
  h.answers = {kResultCancel};
  // The close comes in at the query's first processing point after the member page.
  QTimer closer;
  closer.callOnTimeout([&h, &closer] {
    if (h.requests(site::Role::member) == 0) return;
    closer.stop();
    h.widget("")->close();
  });
  closer.start(0);
  h.query(site::demo_account("safe_buyer").name);
  EXPECT_TRUE(h.window->destroyed());
  EXPECT_EQ(h.boxes.size(), 1u);
  EXPECT_EQ(h.requests(site::Role::member), 1);
  EXPECT_EQ(h.requests(site::Role::rating), 0);
  EXPECT_EQ(h.requests(site::Role::image), 0);
}

TEST(QtWindow, QueryButtonShowsItsHoverPicture) {
  GuiHarness h;
  const auto yellow = [&h] { return count_pixels(h.image(超级按钮查询), yellowish); };
  EXPECT_EQ(yellow(), 0);
  h.pointer_enters(超级按钮查询);
  EXPECT_GT(yellow(), 20);
  h.pointer_leaves(超级按钮查询);
  EXPECT_EQ(yellow(), 0);
  EXPECT_TRUE(h.sounds.empty()); // the query button has no sounds
}

TEST(QtWindow, RoundButtonsPlayTheirSoundsAndShowTheirBoxes) {
  GuiHarness h;
  h.pointer_enters(超级按钮_关于);
  ASSERT_EQ(h.sounds.size(), 1u);
  EXPECT_EQ(h.sounds[0], resources::sound_pass_over());
  h.left_click(超级按钮_关于);
  ASSERT_EQ(h.sounds.size(), 2u);
  EXPECT_EQ(h.sounds[1], resources::sound_click());
  h.left_click(超级按钮_说明);
  ASSERT_EQ(h.boxes.size(), 2u);
  EXPECT_EQ(h.boxes[0].title, "关于软件：");
  EXPECT_EQ(h.boxes[0].text, "软件版本：v1.0（自动检测更新）\r\n\r\n博客：" + config::maker_page() +
                                 "\r\n\r\n如有问题，请到博客反馈！");
  EXPECT_EQ(h.boxes[1].title, "使用说明：");
  EXPECT_EQ(gbk(h.boxes[1].text).bytes.size(), 720u);
  EXPECT_EQ(h.boxes[1].style, kStyleInformationOk);
}

TEST(QtWindow, HyperlinkIsBlueRedUnderThePointerAndBlackOnceOpened) {
  GuiHarness h;
  const auto count = [&h](bool (*is)(QColor)) { return count_pixels(h.image(超级链接框_宣传), is); };
  EXPECT_GT(count(bluish), 20);
  EXPECT_EQ(count(reddish), 0);
  h.pointer_enters(超级链接框_宣传);
  EXPECT_GT(count(reddish), 20);
  EXPECT_EQ(count(bluish), 0);
  // A press whose address does not open leaves it unvisited.
  h.open_succeeds = false;
  h.left_click(超级链接框_宣传);
  h.pointer_leaves(超级链接框_宣传);
  EXPECT_GT(count(bluish), 20);
  h.open_succeeds = true;
  h.left_click(超级链接框_宣传);
  EXPECT_EQ(h.opened, (std::vector<std::string>{config::maker_page(), config::maker_page()}));
  EXPECT_EQ(count(bluish), 0);
  EXPECT_GT(count(blackish), 20);
  EXPECT_EQ(h.widget(超级链接框_宣传)->cursor().shape(), Qt::PointingHandCursor);
}

TEST(QtWindow, TextColoursAreShownAsSet) {
  struct Case {
    std::uint32_t colour; // 0x00BBGGRR
    bool (*is)(QColor);
  };
  GuiHarness h;
  for (const Case& c : {Case{0x0000FF, reddish}, Case{0xFF0000, bluish}}) {
    for (ControlName box : {编辑框安全, 编辑框地区}) {
      h.window->set_text(box, gbk("危险危险"));
      h.window->set_text_colour(box, c.colour);
      EXPECT_GT(count_pixels(h.image(box), c.is), 10) << box << ' ' << c.colour;
    }
    h.window->set_text_colour(分组框账号信息, c.colour);
    EXPECT_GT(count_pixels(h.image(分组框账号信息).copy(0, 0, 374, 14), c.is), 10) << c.colour;
  }
  EXPECT_EQ(qt::qt_rgb(0x800080), 0x800080u);
  EXPECT_EQ(qt::qt_rgb(0xEFE3CB), 0xCBE3EFu);
}

TEST(QtWindow, PageTextIsNeverMarkup) {
  GuiHarness h;
  const std::string markup = "<b>粗体</b> <img src=x onerror=alert(1)> &amp; &#x4E2D;";
  h.window->set_text(编辑框地区, gbk(markup));
  h.window->set_text(编辑框安全, gbk(markup + "\r\n第二行"));
  h.window->set_text(标签买家, gbk(markup));
  EXPECT_EQ(static_cast<QLineEdit*>(h.widget(编辑框地区))->text().toStdString(), markup);
  EXPECT_EQ(static_cast<QTextEdit*>(h.widget(编辑框安全))->toPlainText().toStdString(),
            markup + "\n第二行");
  EXPECT_EQ(to_utf8(h.window->read_text(编辑框安全)), markup + "\r\n第二行");
  EXPECT_EQ(to_utf8(h.window->read_text(标签买家)), markup);
}

TEST(QtWindow, AnimatedPicturesPlayAndBrokenOnesShowNothing) {
  GuiHarness h;
  QFile file(QStringLiteral(ZEMBRIK_TEST_DATA "/two_frames.gif"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray data = file.readAll();
  const Bytes gif(data.begin(), data.end());
  h.window->set_picture(图片框信用, gif);
  EXPECT_EQ(h.window->read_picture(图片框信用), gif);
  const int first = h.window->picture_frame(图片框信用);
  EXPECT_GE(first, 0);
  EXPECT_TRUE(process_until([&] { return h.window->picture_frame(图片框信用) != first; }));
  // The two frames are red and blue; both get drawn.
  bool saw_red = false;
  bool saw_blue = false;
  process_until([&] {
    const QColor corner = h.image(图片框信用).pixelColor(2, 2);
    saw_red = saw_red || reddish(corner);
    saw_blue = saw_blue || bluish(corner);
    return saw_red && saw_blue;
  });
  EXPECT_TRUE(saw_red && saw_blue);

  const std::string junk_text = "GIF89a, but no picture";
  const Bytes junk(junk_text.begin(), junk_text.end());
  h.window->set_picture(图片框信用, junk);
  EXPECT_EQ(h.window->read_picture(图片框信用), junk);
  EXPECT_EQ(h.window->picture_frame(图片框信用), -1);
  EXPECT_EQ(count_pixels(h.image(图片框信用), [](QColor c) { return c != Qt::white; }), 0);
  h.window->set_picture(图片框安全, resources::picture_safe());
  EXPECT_EQ(h.window->picture_frame(图片框安全), -1);
}

} // namespace
} // namespace zembrik::gui

// fontconfig, loaded by Qt for the offscreen platform, keeps caches it never frees.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
