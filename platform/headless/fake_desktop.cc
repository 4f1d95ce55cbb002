#include "platform/headless/fake_desktop.h"

namespace zembrik::headless {

FakeDesktop::~FakeDesktop() { join_threads(); }

int FakeDesktop::message_box(const Text& text, const Text& title, int style) {
  Box box{text, title, style, style == kStyleInformationOkCancel ? kResultCancel : kResultOk};
  {
    const std::lock_guard lock(mutex_);
    if (!answers_.empty()) {
      box.answer = answers_.front();
      answers_.pop_front();
    }
    boxes_.push_back(box);
  }
  if (while_box_shown) while_box_shown(box);
  return box.answer;
}

bool FakeDesktop::open_address(const Text& address) {
  const std::lock_guard lock(mutex_);
  opened_.push_back(address);
  return open_succeeds;
}

void FakeDesktop::play_sound(const Bytes&) {
  const std::lock_guard lock(mutex_);
  ++sounds_;
}

void FakeDesktop::start_thread(std::function<void()> body) {
  if (run_threads_inline) {
    body();
    return;
  }
  const std::lock_guard lock(mutex_);
  threads_.emplace_back(std::move(body));
}

void FakeDesktop::script_answers(std::vector<int> answers) {
  const std::lock_guard lock(mutex_);
  answers_.assign(answers.begin(), answers.end());
}

std::vector<FakeDesktop::Box> FakeDesktop::boxes() const {
  const std::lock_guard lock(mutex_);
  return boxes_;
}

std::vector<Text> FakeDesktop::opened() const {
  const std::lock_guard lock(mutex_);
  return opened_;
}

int FakeDesktop::sounds_played() const {
  const std::lock_guard lock(mutex_);
  return sounds_;
}

void FakeDesktop::join_threads() {
  std::vector<std::thread> threads;
  {
    const std::lock_guard lock(mutex_);
    threads.swap(threads_);
  }
  for (auto& t : threads) t.join();
}

} // namespace zembrik::headless
