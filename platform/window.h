#pragma once
#include <cstdint>
#include <string_view>

#include "text/bytes.h"
#include "text/text.h"

namespace zembrik {

// The name of a control of the main window, as in the window description (UTF-8).
using ControlName = std::string_view;

// The window operations. Every one but set_visible and end_program is called on the UI thread
// only. After the window is destroyed every operation is a harmless no-op (reads give empty
// results), so a query interrupted at a processing point never touches a dead control.
class Window {
public:
  virtual ~Window() = default;
  // Content of an edit box (what the user typed included), or caption of a label or group box.
  virtual Text read_text(ControlName control) = 0;
  // Replaces the content or caption and shows it at once.
  virtual void set_text(ControlName control, const Text& text) = 0;
  // Text colour of an edit box or group box caption, 0x00BBGGRR.
  virtual void set_text_colour(ControlName control, std::uint32_t colour) = 0;
  // Bytes of a picture file; empty bytes, or bytes that are no picture, show no picture.
  virtual void set_picture(ControlName control, const Bytes& picture) = 0;
  // Exactly the bytes last set, or the initial picture's bytes when none was set.
  virtual Bytes read_picture(ControlName control) = 0;
  virtual void set_disabled(ControlName control, bool disabled) = 0;
  // Lets waiting window messages run inside a long handler.
  virtual void process_pending_events() = 0;
  // Hides or shows the main window; may be called from another thread.
  virtual void set_visible(bool visible) = 0;
  // Runs the exit clean-up and ends the process with the code; from another thread the request
  // is handed to the UI thread, which carries it out the next time it handles window messages.
  virtual void end_program(int exit_code) = 0;
  // Whether the window has been destroyed: a query that finds it gone at one of its processing
  // points makes no further request.
  virtual bool is_destroyed() { return false; }
};

} // namespace zembrik
