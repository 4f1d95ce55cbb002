#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/window.h"

namespace zembrik {

enum class ControlKind { window, group_box, label, edit_box, picture_box, image_button, hyperlink_label };
enum class Align { left, centre, right };
enum class ButtonStyle { none, flat, xp };
enum class Event { first_activated, will_be_destroyed, clicked, key_pressed, left_button_pressed };

// What an event carries; each handler uses the part it needs.
struct EventArgs {
  int key_code = 0;
  int x = 0;
  int y = 0;
  int modifiers = 0;
};

struct EventBinding {
  Event event;
  void (*handler)(const EventArgs&);
};

// Colours, 0x00BBGGRR.
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kBlack = 0;
inline constexpr std::uint32_t kPurple = 0x800080;
inline constexpr std::uint32_t kLightBlue = 0xEFE3CB;
inline constexpr std::uint32_t kBlue = 0xFF0000;
inline constexpr std::uint32_t kRed = 0x0000FF;
inline constexpr std::uint32_t kMagenta = 0xFF00FF;
// Stands for the system's colour of button faces.
inline constexpr std::uint32_t kButtonFace = 0xFF000000;

struct Font {
  std::string_view face;     // empty: the system's default GUI font
  int height = 0;            // character height in pixels
  int weight = 400;
  bool underline = false;
  bool italic = false;
  int charset = 0;           // 134 is GB2312
};

// The look of a control at start. Pictures and sounds are named by their resource names.
struct Settings {
  std::string_view text;                  // UTF-8 at start
  std::uint32_t text_colour = kBlack;
  std::uint32_t ground = kWhite;
  Align align = Align::left;
  bool border = false;                    // a one-pixel frame in the window-frame colour
  bool multiline = false;
  bool read_only = false;
  std::string_view picture;
  std::string_view hover_picture;
  std::string_view sound_over;
  std::string_view sound_click;
  ButtonStyle button_style = ButtonStyle::none;
  std::uint32_t hover_colour = kBlack;    // hyperlink label under the pointer
  std::uint32_t visited_colour = kBlack;  // hyperlink label once its address was opened
  bool opens_maker_page = false;          // hyperlink label's address is the maker page
  Font font;
};

struct ControlRecord {
  ControlKind kind;
  std::string_view name;    // empty for the main window
  std::int32_t number;
  int x;
  int y;
  int width;
  int height;
  std::string_view parent;  // empty: the main window
  bool visible = true;
  bool disabled = false;
  bool tab_stop = false;
  std::span<const EventBinding> events;
  Settings settings;
};

// The main window's own number; its record carries kMainWindowRecordNumber.
inline constexpr std::int32_t kMainWindowNumber = 1375797302;
inline constexpr std::int32_t kMainWindowRecordNumber = 100728887;
inline constexpr int kMainWindowWidth = 395;   // outer size, frame included
inline constexpr int kMainWindowHeight = 539;

// The main window's record followed by its 61 controls, in stacking order: of two siblings,
// the one that comes first lies above the other.
std::span<const ControlRecord> window_description();
// The record of a control by name, or null.
const ControlRecord* find_control(ControlName name);

} // namespace zembrik
