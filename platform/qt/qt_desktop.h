#pragma once
#include <functional>

#include "platform/desktop.h"
#include "platform/posix/sound.h"

namespace zembrik::qt {

// The desktop on Qt Widgets. Message boxes are QMessageBoxes without an owner; addresses go
// to QDesktopServices, never to a shell; sounds to ALSA. Any thread may call it: boxes and
// addresses are handled on the GUI thread, and a thread that asks for a box waits for its
// answer while the GUI thread goes on with its work.
class QtDesktop : public Desktop {
public:
  int message_box(const Text& text, const Text& title, int style) override;
  bool open_address(const Text& address) override;
  void play_sound(const Bytes& wav) override;
  void start_thread(std::function<void()> body) override;

  // When set, these stand in for the real box, the browser and the thread, so that tests and
  // tools can answer boxes and keep the program off the network. The first two run on the
  // GUI thread, whichever thread asked.
  std::function<int(const Text& text, const Text& title, int style)> message_box_hook;
  std::function<bool(const Text& address)> open_address_hook;
  std::function<void(std::function<void()> body)> start_thread_hook;
  std::function<void(const Bytes& wav)> play_sound_hook;

private:
  posix::SoundPlayer sounds_;
};

} // namespace zembrik::qt
