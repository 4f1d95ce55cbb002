#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/window_description.h"
#include "platform/window.h"

namespace zembrik::headless {

// The whole main window in memory, built from the window description: for tests and for the
// command-line check. It keeps each control's text, text colour, picture and state, and plays
// the user's part through type(), click(), press_key(), activate() and close().
class HeadlessWindow : public Window {
public:
  struct Control {
    const ControlRecord* record = nullptr;
    Text text;
    std::optional<std::uint32_t> colour; // set for edit boxes and group boxes
    Bytes picture;                       // as last set, or the initial picture
    bool disabled = false;
  };

  // Builds the window on the calling thread, which becomes its UI thread.
  HeadlessWindow();

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

  // The state of a control, or null for an unknown name or after destruction.
  [[nodiscard]] const Control* control(ControlName name) const;
  [[nodiscard]] bool destroyed() const { return destroyed_; }
  [[nodiscard]] bool visible() const;
  // The exit code given to end_program, once the program has been ended.
  [[nodiscard]] std::optional<int> ended_with() const;

  // The user's actions. Input to a disabled or read-only box is ignored, as a real box does.
  void type(ControlName box, const Text& text);
  // Types the account name into the account box and presses Enter, as a user starts a query.
  void query_account(const Text& name);
  void click(ControlName control);
  void press_key(ControlName control, int key_code);
  void left_button_press(ControlName control, int x = 0, int y = 0);
  // The window becomes active; the first time, its first-activation handler runs.
  void activate();
  // The user closes the window: the will-be-destroyed handler runs, then the window is gone.
  void close();

  // Runs at every processing of pending events, before requests from other threads are
  // carried out: lets a test act while a query waits between stages.
  std::function<void()> on_pending_events;
  // What ending the program does after the exit clean-up; by default only recorded, so that a
  // test or tool process goes on. The check tool sets it to end the process.
  std::function<void(int)> on_end_program;
  // Carries out an end-the-program request handed over by another thread (also called by a
  // fake message box, which waits for messages like a real one).
  void handle_cross_thread_requests();

private:
  Control* find(ControlName name);
  void dispatch(const Control* control, Event event, const EventArgs& args);
  void end_now(int exit_code);

  std::map<std::string, Control, std::less<>> controls_;
  std::thread::id ui_thread_;
  bool destroyed_ = false;
  bool activated_ = false;

  mutable std::mutex mutex_;  // guards what other threads touch
  std::condition_variable request_done_;
  bool visible_ = true;
  std::optional<int> end_request_;
  std::optional<int> ended_with_;
};

} // namespace zembrik::headless
