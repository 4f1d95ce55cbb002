// The window description, the headless window's start-up state and operations, the small
// handlers, the update check and the exit clean-up.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "app/config.h"
#include "app/controls.h"
#include "app/handlers.h"
#include "app/state.h"
#include "app/window_description.h"
#include "resources.h"
#include "tests/support/fakes.h"
#include "text/match_set.h"

namespace zembrik {
namespace {

using namespace controls;
using testing_support::CoreHarness;
using testing_support::gbk_bytes;

TEST(WindowDescription, HoldsTheWindowAndItsControls) {
  const auto description = window_description();
  ASSERT_EQ(description.size(), 62u);
  EXPECT_EQ(description[0].kind, ControlKind::window);
  EXPECT_EQ(description[0].number, kMainWindowRecordNumber);
  std::set<std::int32_t> numbers;
  std::set<std::string_view> names;
  std::vector<std::string_view> tab_stops;
  for (const auto& r : description.subspan(1)) {
    numbers.insert(r.number);
    names.insert(r.name);
    if (r.tab_stop) tab_stops.push_back(r.name);
    if (!r.parent.empty()) {
      const ControlRecord* parent = find_control(r.parent);
      ASSERT_NE(parent, nullptr) << r.name;
      EXPECT_EQ(parent->kind, ControlKind::group_box) << r.name;
    }
    EXPECT_TRUE(r.visible && !r.disabled) << r.name;
  }
  EXPECT_EQ(numbers.size(), 61u);
  EXPECT_EQ(names.size(), 61u);
  const std::vector<std::string_view> expected_tabs = {超级按钮_说明, 超级按钮_关于, 编辑框用户名,
                                                       超级按钮查询};
  EXPECT_EQ(tab_stops, expected_tabs);
  EXPECT_EQ(find_control(编辑框用户名)->number, 369172273);
  EXPECT_EQ(find_control(分组框安全内容)->parent, 分组框账号信息);
  EXPECT_EQ(description.back().name, 分组框安全内容);
}

TEST(HeadlessWindow, StartsAsTheDescriptionSays) {
  CoreHarness h;
  for (const auto& r : window_description().subspan(1)) {
    if (r.kind != ControlKind::edit_box) continue;
    EXPECT_EQ(h.text(r.name), r.name == 编辑框安全 ? "↑查询后单击查看详细信息↑" : "") << r.name;
  }
  EXPECT_EQ(h.colour(编辑框安全), kPurple);
  EXPECT_EQ(h.picture(图片框安全), resources::picture_pending());
  EXPECT_TRUE(h.picture(图片框信用).empty());
  EXPECT_EQ(h.text(标签18), "　　好评");
  EXPECT_EQ(h.text(分组框信用及评价信息), "信用及评价信息");
}

TEST(HeadlessWindow, ReadPictureGivesBackTheBytesLastSet) {
  CoreHarness h;
  const Bytes not_a_picture = {'x', 0, 'y'};
  h.window->set_picture(图片框信用, not_a_picture);
  EXPECT_EQ(h.picture(图片框信用), not_a_picture);
  h.window->set_picture(图片框信用, {});
  EXPECT_TRUE(h.picture(图片框信用).empty());
}

TEST(HeadlessWindow, EveryOperationIsHarmlessOnceDestroyed) {
  CoreHarness h;
  h.window->close();
  h.window->set_text(编辑框id, gbk("1"));
  h.window->set_picture(图片框安全, {1, 2});
  h.window->set_disabled(编辑框用户名, true);
  EXPECT_EQ(h.window->read_text(编辑框id), Text());
  EXPECT_TRUE(h.window->read_picture(图片框安全).empty());
  EXPECT_EQ(h.window->control(编辑框id), nullptr);
}

TEST(Handlers, ClosePromptOpensTheMakerPageOnlyOnOk) {
  for (const int answer : {kResultOk, kResultCancel}) {
    CoreHarness h;
    h.desktop.script_answers({answer});
    h.window->close();
    const auto boxes = h.desktop.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, gbk("更多精彩："));
    EXPECT_EQ(boxes[0].text, gbk("更多精彩，请点击“确定”！\r\n\r\n关闭软件，请点击“取消”！ "));
    EXPECT_EQ(boxes[0].style, kStyleInformationOkCancel);
    EXPECT_EQ(h.desktop.opened().size(), answer == kResultOk ? 1u : 0u);
    EXPECT_TRUE(h.window->destroyed());
  }
}

TEST(Handlers, AboutAndInstructionsBoxes) {
  CoreHarness h;
  h.window->click(超级按钮_关于);
  h.window->click(超级按钮_说明);
  const auto boxes = h.desktop.boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].title, gbk("关于软件："));
  EXPECT_EQ(boxes[0].style, kStyleInformationOk);
  const std::string about = boxes[0].text.bytes;
  const std::string maker = gbk_bytes("博客：") + config::maker_page() + "\r\n\r\n" +
                            gbk_bytes("如有问题，请到博客反馈！");
  EXPECT_TRUE(about.ends_with(maker)) << to_utf8(boxes[0].text);
  EXPECT_TRUE(about.starts_with(gbk_bytes("软件版本：v1.0（自动检测更新）\r\n\r\n")));
  EXPECT_EQ(boxes[1].title, gbk("使用说明："));
  EXPECT_EQ(boxes[1].text.size(), 720u);
  EXPECT_FALSE(boxes[1].text.bytes.ends_with("\r\n"));
}

TEST(Handlers, SecurityPictureOpensTheRatingPageOnceAnIdIsKnown) {
  CoreHarness h;
  h.window->left_button_press(图片框安全, 5, 5);
  EXPECT_TRUE(h.desktop.opened().empty());
  h.window->set_text(编辑框id, gbk("123456"));
  h.window->left_button_press(图片框安全);
  EXPECT_EQ(h.desktop.opened(), std::vector<Text>{gbk("http://rate.test/user-rate-123456.htm")});
}

TEST(Handlers, OnlyEnterStartsAQuery) {
  CoreHarness h;
  h.window->type(编辑框用户名, gbk("x"));
  h.window->press_key(编辑框用户名, 65);
  EXPECT_TRUE(h.web->requested.empty());
  h.window->press_key(编辑框用户名, 13);
  EXPECT_EQ(h.web->requested.size(), 1u);
}

TEST(Handlers, AClickDuringAQueryDoesNotStartASecondOne) {
  CoreHarness h;
  int clicks = 0;
  h.window->on_pending_events = [&] {
    if (clicks++ == 0) h.window->click(超级按钮查询);
  };
  h.query("x");
  EXPECT_EQ(h.web->requested.size(), 1u);
}

TEST(UpdateCheck, PromptsOnlyWhenTheMarkersNameAnotherVersion) {
  struct Case {
    std::optional<std::string> page; // nullopt: cannot be downloaded
    bool prompt;
  };
  const Case cases[] = {
      {"☆☆☆☆☆最新版本→v1.0←最新版本☆☆☆☆☆", false},
      {"☆☆☆☆☆最新版本→V1.0←最新版本☆☆☆☆☆", true},
      {"☆☆☆☆☆最新版本→ v1.0←最新版本☆☆☆☆☆", true},
      {"☆☆☆☆☆最新版本→v0.9←最新版本☆☆☆☆☆", true},
      {"最新版本 soon", true},
      {"←最新版本☆☆☆☆☆ v1.0 ☆☆☆☆☆最新版本→", true},
      {"", false},
      {std::nullopt, false},
  };
  for (const auto& c : cases) {
    CoreHarness h;
    if (c.page) h.serve(config::update_page(), gbk_bytes(*c.page));
    h.desktop.run_threads_inline = true;
    bool hidden_while_prompting = false;
    h.desktop.while_box_shown = [&](const headless::FakeDesktop::Box&) {
      hidden_while_prompting = !h.window->visible();
    };
    h.window->activate();
    const auto boxes = h.desktop.boxes();
    EXPECT_EQ(boxes.size(), c.prompt ? 1u : 0u) << c.page.value_or("<none>");
    if (c.prompt && !boxes.empty()) {
      EXPECT_EQ(boxes[0].title, gbk("更新提示："));
      EXPECT_TRUE(hidden_while_prompting);
      // Cancel (the default answer) brings the window back.
      EXPECT_TRUE(h.window->visible());
    }
    EXPECT_EQ(update_page_text(), c.page ? gbk(*c.page) : Text());
  }
}

TEST(UpdateCheck, RunsOnceAndOkEndsWithoutTheClosePrompt) {
  CoreHarness h;
  h.serve(config::update_page(), gbk_bytes("☆☆☆☆☆最新版本→v2.0←最新版本☆☆☆☆☆"));
  h.desktop.run_threads_inline = true;
  h.desktop.script_answers({kResultOk});
  h.window->activate();
  h.window->activate();
  EXPECT_EQ(h.desktop.boxes().size(), 1u);
  EXPECT_EQ(h.desktop.opened(), std::vector<Text>{gbk(config::download_page())});
  EXPECT_EQ(h.window->ended_with(), 0);
  EXPECT_EQ(exit_clean_up_runs(), 1);
  EXPECT_EQ(regex_object, nullptr);
  // The window is gone without the close prompt; closing it again does nothing.
  h.window->close();
  EXPECT_EQ(h.desktop.boxes().size(), 1u);
}

TEST(UpdateCheck, EndingFromItsThreadIsCarriedOutByTheUiThread) {
  CoreHarness h;
  h.serve(config::update_page(), gbk_bytes("☆☆☆☆☆最新版本→v2.0←最新版本☆☆☆☆☆"));
  h.desktop.script_answers({kResultOk});
  std::atomic<bool> asked{false};
  // The update thread's prompt is answered at once; its end request then waits for the UI.
  h.desktop.while_box_shown = [&](const headless::FakeDesktop::Box&) { asked = true; };
  h.window->activate();
  while (!h.window->ended_with()) {
    h.window->process_pending_events();
    std::this_thread::yield();
  }
  h.desktop.join_threads();
  EXPECT_TRUE(asked);
  EXPECT_EQ(exit_clean_up_runs(), 1);
  exit_clean_up();
  EXPECT_EQ(exit_clean_up_runs(), 1);
}

} // namespace
} // namespace zembrik
