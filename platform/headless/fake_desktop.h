#pragma once
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/desktop.h"

namespace zembrik::headless {

class HeadlessWindow;

// A desktop for tests and the command-line check: message boxes answered from a script,
// addresses and sounds recorded, threads started for real (or run at once when asked).
class FakeDesktop : public Desktop {
public:
  struct Box {
    Text text;
    Text title;
    int style = 0;
    int answer = 0;
  };

  ~FakeDesktop() override;

  int message_box(const Text& text, const Text& title, int style) override;
  bool open_address(const Text& address) override;
  void play_sound(const Bytes& wav) override;
  void start_thread(std::function<void()> body) override;

  // Answers for the next boxes, in order; once used up a box of style 65 is cancelled and
  // any other box is answered with OK.
  void script_answers(std::vector<int> answers);
  // Runs while a box is shown, before it is answered (a box lets window messages run).
  std::function<void(const Box&)> while_box_shown;
  // Whether open_address reports success.
  bool open_succeeds = true;
  // When true, start_thread runs the body on the calling thread before returning.
  bool run_threads_inline = false;

  [[nodiscard]] std::vector<Box> boxes() const;
  [[nodiscard]] std::vector<Text> opened() const;
  [[nodiscard]] int sounds_played() const;
  // Waits for every thread started so far.
  void join_threads();

private:
  mutable std::mutex mutex_;
  std::deque<int> answers_;
  std::vector<Box> boxes_;
  std::vector<Text> opened_;
  int sounds_ = 0;
  std::vector<std::thread> threads_;
};

// The local clock, set by hand.
class FakeClock : public Clock {
public:
  explicit FakeClock(LocalTime now = {}) : now_(now) {}
  LocalTime now() override { return now_; }
  void set(LocalTime now) { now_ = now; }

private:
  LocalTime now_;
};

} // namespace zembrik::headless
