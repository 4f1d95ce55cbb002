#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/window_description.h"
#include "platform/window.h"

class QIcon;
class QPoint;
class QWidget;

namespace zembrik::qt {

class MainWidget;

// The main window on Qt Widgets, built from the window description. Needs a QApplication; the
// constructing thread is its UI thread. The window is shown by show().
class QtWindow : public Window {
public:
  QtWindow();
  ~QtWindow() override;
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  void show();

  Text read_text(ControlName control) override;
  void set_text(ControlName control, const Text& text) override;
  void set_text_colour(ControlName control, std::uint32_t colour) override;
  void set_picture(ControlName control, const Bytes& picture) override;
  Bytes read_picture(ControlName control) override;
  void set_disabled(ControlName control, bool disabled) override;
  void process_pending_events() override;
  void set_visible(bool visible) override;
  void end_program(int exit_code) override;
  bool is_destroyed() override { return destroyed_; }

  // The widget of a control (the main window for the empty name), or null once destroyed.
  [[nodiscard]] QWidget* widget(ControlName control) const;
  [[nodiscard]] bool destroyed() const { return destroyed_; }
  // The frame an animated picture box shows now; -1 for a still picture or none.
  [[nodiscard]] int picture_frame(ControlName control) const;

  // What ending the program does after the exit clean-up; by default the process ends at once
  // with the code. Tests record the code instead.
  std::function<void(int)> on_end_program;

  // Used by the widgets: runs the description's handlers of the event, as long as the window
  // lives and the program is not ending.
  void dispatch(const ControlRecord* record, Event event, const EventArgs& args);
  // The main window is being closed by the user.
  void closing();
  void activated();
  // Makes the outer size the described one once the window manager's frame is known.
  void fit_frame();

  struct Control;

private:
  Control* find(ControlName name) const;
  void end_now(int exit_code);
  void handle_cross_thread_requests();
  [[nodiscard]] QPoint centred_position() const;

  std::map<std::string, std::unique_ptr<Control>, std::less<>> controls_;
  // Requests queued by other threads hold a weak reference: they do nothing once the window
  // object is gone.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  MainWidget* main_ = nullptr;
  std::thread::id ui_thread_;
  bool destroyed_ = false;
  bool ending_ = false;
  bool activated_ = false;
  bool closing_ = false;
  bool frame_fitted_ = false;

  std::mutex mutex_; // guards what other threads touch
  std::condition_variable request_done_;
  std::optional<int> end_request_;
  bool ended_ = false;
};

// The program icon in all its sizes.
QIcon program_icon();

// 0x00BBGGRR as the colour Qt draws; kButtonFace becomes the palette's button colour.
std::uint32_t qt_rgb(std::uint32_t colour);

} // namespace zembrik::qt
