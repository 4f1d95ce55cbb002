#pragma once
#include <functional>

#include "platform/desktop.h"

namespace zembrik::qt {

// The desktop on Qt Widgets. Message boxes are application-modal QMessageBoxes without an
// owner; addresses go to QDesktopServices, never to a shell. Sound is not played yet.
class QtDesktop : public Desktop {
public:
  int message_box(const Text& text, const Text& title, int style) override;
  bool open_address(const Text& address) override;
  void play_sound(const Bytes& wav) override;
  void start_thread(std::function<void()> body) override;

  // When set, these stand in for the real box, the browser and the thread, so that tests and
  // tools can answer boxes and keep the program off the network.
  std::function<int(const Text& text, const Text& title, int style)> message_box_hook;
  std::function<bool(const Text& address)> open_address_hook;
  std::function<void(std::function<void()> body)> start_thread_hook;
};

} // namespace zembrik::qt
