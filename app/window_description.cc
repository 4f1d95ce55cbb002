#include "app/window_description.h"

#include <array>

#include "app/handlers.h"
#include "query/query.h"

namespace zembrik {
namespace {

void start_update_check_event(const EventArgs&) { start_update_check(); }
void show_close_prompt_event(const EventArgs&) { show_close_prompt(); }
void run_query_event(const EventArgs&) { run_query(); }
void on_account_key_event(const EventArgs& args) { on_account_key(args.key_code); }
void open_rating_page_event(const EventArgs&) { open_rating_page(); }
void show_about_box_event(const EventArgs&) { show_about_box(); }
void show_instructions_box_event(const EventArgs&) { show_instructions_box(); }

constexpr EventBinding kMainWindowEvents[] = {
    {Event::first_activated, &start_update_check_event},
    {Event::will_be_destroyed, &show_close_prompt_event}};
constexpr EventBinding kInstructionsButtonEvents[] = {{Event::clicked, &show_instructions_box_event}};
constexpr EventBinding kAboutButtonEvents[] = {{Event::clicked, &show_about_box_event}};
constexpr EventBinding kSecurityPictureEvents[] = {{Event::left_button_pressed, &open_rating_page_event}};
constexpr EventBinding kAccountBoxEvents[] = {{Event::key_pressed, &on_account_key_event}};
constexpr EventBinding kQueryButtonEvents[] = {{Event::clicked, &run_query_event}};

// clang-format off
const std::array<ControlRecord, 62> kDescription{{
    {.kind = ControlKind::window, .name = "", .number = kMainWindowRecordNumber, .x = 0, .y = 0, .width = kMainWindowWidth, .height = kMainWindowHeight, .parent = "", .events = kMainWindowEvents, .settings = {.text = "Zembrik"}},
    {.kind = ControlKind::image_button, .name = "超级按钮_说明", .number = 369172357, .x = 263, .y = 471, .width = 35, .height = 35, .parent = "", .tab_stop = true, .events = kInstructionsButtonEvents, .settings = {.picture = "picture_instructions_button", .sound_over = "sound_pass_over", .sound_click = "sound_click", .button_style = ButtonStyle::xp}},
    {.kind = ControlKind::image_button, .name = "超级按钮_关于", .number = 369172358, .x = 338, .y = 471, .width = 35, .height = 35, .parent = "", .tab_stop = true, .events = kAboutButtonEvents, .settings = {.picture = "picture_about_button", .sound_over = "sound_pass_over", .sound_click = "sound_click", .button_style = ButtonStyle::xp}},
    {.kind = ControlKind::hyperlink_label, .name = "超级链接框_宣传", .number = 369172356, .x = 14, .y = 488, .width = 168, .height = 12, .parent = "", .tab_stop = false, .events = {}, .settings = {.text = "Holmvard出品 · 交易更安心", .text_colour = kBlue, .align = Align::centre, .hover_colour = kRed, .visited_colour = kBlack, .opens_maker_page = true, .font = {"宋体", 12, 400, true, false, 134}}},
    {.kind = ControlKind::label, .name = "标签横杠地区", .number = 369172355, .x = 72, .y = 162, .width = 128, .height = 1, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.ground = kButtonFace, .border = true}},
    {.kind = ControlKind::label, .name = "标签横杠认证", .number = 369172353, .x = 72, .y = 132, .width = 128, .height = 1, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.ground = kButtonFace, .border = true}},
    {.kind = ControlKind::label, .name = "标签横杠日期", .number = 369172352, .x = 72, .y = 102, .width = 128, .height = 1, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.ground = kButtonFace, .border = true}},
    {.kind = ControlKind::label, .name = "标签横杠id", .number = 369172351, .x = 72, .y = 72, .width = 128, .height = 1, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.ground = kButtonFace, .border = true}},
    {.kind = ControlKind::label, .name = "标签横杠账号", .number = 369172349, .x = 72, .y = 42, .width = 128, .height = 1, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.ground = kButtonFace, .border = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框安全", .number = 369172308, .x = 206, .y = 76, .width = 158, .height = 87, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.text = "↑查询后单击查看详细信息↑", .text_colour = kPurple, .align = Align::centre, .multiline = true, .read_only = true}},
    {.kind = ControlKind::picture_box, .name = "图片框安全", .number = 369172309, .x = 204, .y = 23, .width = 161, .height = 48, .parent = "分组框账号信息", .tab_stop = false, .events = kSecurityPictureEvents, .settings = {.border = true, .picture = "picture_pending"}},
    {.kind = ControlKind::edit_box, .name = "编辑框id", .number = 369172310, .x = 72, .y = 56, .width = 128, .height = 16, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .read_only = true}},
    {.kind = ControlKind::label, .name = "标签9", .number = 369172311, .x = 8, .y = 55, .width = 60, .height = 20, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.text = "数字ＩＤ：", .align = Align::right}},
    {.kind = ControlKind::edit_box, .name = "编辑框地区", .number = 369172312, .x = 72, .y = 146, .width = 128, .height = 16, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框认证", .number = 369172313, .x = 72, .y = 116, .width = 128, .height = 16, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框日期", .number = 369172314, .x = 72, .y = 86, .width = 128, .height = 16, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框账号", .number = 369172315, .x = 72, .y = 26, .width = 128, .height = 16, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .read_only = true}},
    {.kind = ControlKind::label, .name = "标签4", .number = 369172316, .x = 8, .y = 145, .width = 60, .height = 20, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.text = "所在地区：", .align = Align::right}},
    {.kind = ControlKind::label, .name = "标签3", .number = 369172317, .x = 8, .y = 115, .width = 60, .height = 20, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.text = "认证信息：", .align = Align::right}},
    {.kind = ControlKind::label, .name = "标签注册时间", .number = 369172318, .x = 8, .y = 85, .width = 60, .height = 20, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.text = "注册时间：", .align = Align::right}},
    {.kind = ControlKind::label, .name = "标签1", .number = 369172319, .x = 8, .y = 25, .width = 60, .height = 20, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {.text = "淘宝身份：", .align = Align::right}},
    {.kind = ControlKind::group_box, .name = "分组框账号信息", .number = 369172282, .x = 8, .y = 72, .width = 374, .height = 176, .parent = "", .tab_stop = false, .events = {}, .settings = {.text = "账号信息", .align = Align::centre}},
    {.kind = ControlKind::label, .name = "标签2", .number = 369172272, .x = 8, .y = 25, .width = 60, .height = 20, .parent = "分组框查询", .tab_stop = false, .events = {}, .settings = {.text = "淘宝账号：", .align = Align::right}},
    {.kind = ControlKind::edit_box, .name = "编辑框用户名", .number = 369172273, .x = 72, .y = 23, .width = 200, .height = 22, .parent = "分组框查询", .tab_stop = true, .events = kAccountBoxEvents, .settings = {.align = Align::centre, .border = true}},
    {.kind = ControlKind::image_button, .name = "超级按钮查询", .number = 369172274, .x = 276, .y = 21, .width = 90, .height = 26, .parent = "分组框查询", .tab_stop = true, .events = kQueryButtonEvents, .settings = {.ground = kButtonFace, .picture = "picture_query_button", .hover_picture = "picture_query_button_hover", .button_style = ButtonStyle::flat}},
    {.kind = ControlKind::group_box, .name = "分组框查询", .number = 369172271, .x = 8, .y = 8, .width = 374, .height = 56, .parent = "", .tab_stop = false, .events = {}, .settings = {.text = "查询", .align = Align::centre}},
    {.kind = ControlKind::label, .name = "标签横杠好评率", .number = 369172269, .x = 312, .y = 41, .width = 52, .height = 1, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.ground = kButtonFace, .border = true}},
    {.kind = ControlKind::label, .name = "标签横杠信用", .number = 369172268, .x = 76, .y = 41, .width = 52, .height = 1, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.ground = kButtonFace, .border = true}},
    {.kind = ControlKind::label, .name = "标签横杠差评", .number = 369172267, .x = 276, .y = 195, .width = 52, .height = 1, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.ground = kButtonFace, .border = true}},
    {.kind = ControlKind::label, .name = "标签横杠中评", .number = 369172266, .x = 130, .y = 195, .width = 52, .height = 1, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.ground = kButtonFace, .border = true}},
    {.kind = ControlKind::picture_box, .name = "图片框信用", .number = 369172193, .x = 133, .y = 24, .width = 125, .height = 20, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {}},
    {.kind = ControlKind::label, .name = "标签7", .number = 369172162, .x = 222, .y = 177, .width = 49, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "差评", .align = Align::right, .picture = "picture_bad_given"}},
    {.kind = ControlKind::label, .name = "标签6", .number = 369172164, .x = 76, .y = 177, .width = 49, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "中评", .align = Align::right, .picture = "picture_neutral_given"}},
    {.kind = ControlKind::edit_box, .name = "编辑框年前差", .number = 369172166, .x = 275, .y = 146, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框年前中", .number = 369172167, .x = 186, .y = 146, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框年前好", .number = 369172168, .x = 97, .y = 146, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框半年差", .number = 369172169, .x = 275, .y = 123, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框半年中", .number = 369172170, .x = 186, .y = 123, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框半年好", .number = 369172171, .x = 97, .y = 123, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框一月差", .number = 369172172, .x = 275, .y = 100, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框一月中", .number = 369172173, .x = 186, .y = 100, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框一月好", .number = 369172174, .x = 97, .y = 100, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框一周差", .number = 369172175, .x = 275, .y = 77, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框一周中", .number = 369172176, .x = 186, .y = 77, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框一周好", .number = 369172177, .x = 97, .y = 77, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .border = true, .read_only = true}},
    {.kind = ControlKind::label, .name = "标签23", .number = 369172178, .x = 275, .y = 54, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "　　差评", .ground = kLightBlue, .align = Align::centre, .border = true, .picture = "picture_bad_header"}},
    {.kind = ControlKind::label, .name = "标签28", .number = 369172179, .x = 186, .y = 54, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "　　中评", .ground = kLightBlue, .align = Align::centre, .border = true, .picture = "picture_neutral_header"}},
    {.kind = ControlKind::label, .name = "标签18", .number = 369172180, .x = 97, .y = 54, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "　　好评", .ground = kLightBlue, .align = Align::centre, .border = true, .picture = "picture_good_header"}},
    {.kind = ControlKind::label, .name = "标签13", .number = 369172181, .x = 8, .y = 146, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "半年以前", .ground = kButtonFace, .align = Align::centre, .border = true}},
    {.kind = ControlKind::label, .name = "标签11", .number = 369172182, .x = 8, .y = 123, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "最近半年", .ground = kButtonFace, .align = Align::centre, .border = true}},
    {.kind = ControlKind::label, .name = "标签12", .number = 369172183, .x = 8, .y = 100, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "最近一月", .ground = kButtonFace, .align = Align::centre, .border = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框好评率", .number = 369172184, .x = 312, .y = 26, .width = 52, .height = 16, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .read_only = true}},
    {.kind = ControlKind::label, .name = "标签10", .number = 369172185, .x = 260, .y = 25, .width = 48, .height = 20, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "好评率：", .align = Align::right}},
    {.kind = ControlKind::edit_box, .name = "编辑框差评", .number = 369172186, .x = 276, .y = 181, .width = 52, .height = 16, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框信用", .number = 369172187, .x = 76, .y = 26, .width = 52, .height = 16, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .read_only = true}},
    {.kind = ControlKind::edit_box, .name = "编辑框中评", .number = 369172188, .x = 130, .y = 181, .width = 52, .height = 16, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.align = Align::centre, .read_only = true}},
    {.kind = ControlKind::label, .name = "标签8", .number = 369172189, .x = 8, .y = 77, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "最近一周", .ground = kButtonFace, .align = Align::centre, .border = true}},
    {.kind = ControlKind::label, .name = "标签评价", .number = 369172190, .x = 8, .y = 54, .width = 90, .height = 24, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "买家评价", .ground = kLightBlue, .align = Align::centre, .border = true}},
    {.kind = ControlKind::label, .name = "标签买家", .number = 369172191, .x = 12, .y = 25, .width = 60, .height = 20, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "买家信用：", .align = Align::right}},
    {.kind = ControlKind::label, .name = "标签5", .number = 369172192, .x = 12, .y = 179, .width = 60, .height = 20, .parent = "分组框信用及评价信息", .tab_stop = false, .events = {}, .settings = {.text = "给出评价：", .align = Align::right}},
    {.kind = ControlKind::group_box, .name = "分组框信用及评价信息", .number = 369172161, .x = 8, .y = 256, .width = 374, .height = 210, .parent = "", .tab_stop = false, .events = {}, .settings = {.text = "信用及评价信息", .align = Align::centre}},
    {.kind = ControlKind::group_box, .name = "分组框安全内容", .number = 369172320, .x = 204, .y = 64, .width = 162, .height = 101, .parent = "分组框账号信息", .tab_stop = false, .events = {}, .settings = {}},
}};
// clang-format on

} // namespace

std::span<const ControlRecord> window_description() { return kDescription; }

const ControlRecord* find_control(ControlName name) {
  if (name.empty()) return nullptr;
  for (const auto& record : kDescription) {
    if (record.name == name) return &record;
  }
  return nullptr;
}

} // namespace zembrik
