#include "platform/headless/headless_window.h"

#include "app/controls.h"
#include "app/state.h"
#include "resources.h"

namespace zembrik::headless {
namespace {

bool has_colour(ControlKind kind) {
  return kind == ControlKind::edit_box || kind == ControlKind::group_box;
}

bool has_text(ControlKind kind) {
  return kind == ControlKind::edit_box || kind == ControlKind::group_box ||
         kind == ControlKind::label || kind == ControlKind::hyperlink_label;
}

} // namespace

HeadlessWindow::HeadlessWindow() : ui_thread_(std::this_thread::get_id()) {
  for (const ControlRecord& record : window_description()) {
    if (record.kind == ControlKind::window) continue;
    Control c;
    c.record = &record;
    if (has_text(record.kind)) c.text = gbk(record.settings.text);
    if (has_colour(record.kind)) c.colour = record.settings.text_colour;
    if (record.kind == ControlKind::picture_box && !record.settings.picture.empty()) {
      if (const Bytes* initial = resources::find(record.settings.picture)) c.picture = *initial;
    }
    c.disabled = record.disabled;
    controls_.emplace(std::string(record.name), std::move(c));
  }
}

HeadlessWindow::Control* HeadlessWindow::find(ControlName name) {
  if (destroyed_) return nullptr;
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : &it->second;
}

const HeadlessWindow::Control* HeadlessWindow::control(ControlName name) const {
  return const_cast<HeadlessWindow*>(this)->find(name);
}

Text HeadlessWindow::read_text(ControlName control) {
  const Control* c = find(control);
  return c && has_text(c->record->kind) ? c->text : Text();
}

void HeadlessWindow::set_text(ControlName control, const Text& text) {
  if (Control* c = find(control); c && has_text(c->record->kind)) c->text = text;
}

void HeadlessWindow::set_text_colour(ControlName control, std::uint32_t colour) {
  if (Control* c = find(control); c && has_colour(c->record->kind)) c->colour = colour;
}

void HeadlessWindow::set_picture(ControlName control, const Bytes& picture) {
  if (Control* c = find(control); c && c->record->kind == ControlKind::picture_box) {
    c->picture = picture;
  }
}

Bytes HeadlessWindow::read_picture(ControlName control) {
  const Control* c = find(control);
  return c && c->record->kind == ControlKind::picture_box ? c->picture : Bytes();
}

void HeadlessWindow::set_disabled(ControlName control, bool disabled) {
  if (Control* c = find(control); c && c->record->kind == ControlKind::edit_box) {
    c->disabled = disabled;
  }
}

void HeadlessWindow::process_pending_events() {
  if (on_pending_events) on_pending_events();
  handle_cross_thread_requests();
}

void HeadlessWindow::set_visible(bool visible) {
  const std::lock_guard lock(mutex_);
  visible_ = visible;
}

bool HeadlessWindow::visible() const {
  const std::lock_guard lock(mutex_);
  return visible_;
}

std::optional<int> HeadlessWindow::ended_with() const {
  const std::lock_guard lock(mutex_);
  return ended_with_;
}

void HeadlessWindow::end_program(int exit_code) {
  if (std::this_thread::get_id() == ui_thread_) {
    end_now(exit_code);
    return;
  }
  std::unique_lock lock(mutex_);
  if (ended_with_) return;
  end_request_ = exit_code;
  request_done_.wait(lock, [this] { return ended_with_.has_value(); });
}

void HeadlessWindow::handle_cross_thread_requests() {
  std::optional<int> request;
  {
    const std::lock_guard lock(mutex_);
    request = end_request_;
    end_request_.reset();
  }
  if (request) end_now(*request);
}

void HeadlessWindow::end_now(int exit_code) {
  {
    const std::lock_guard lock(mutex_);
    if (ended_with_) return;
  }
  // No handler runs once the clean-up has started: the window goes without its close prompt.
  destroyed_ = true;
  exit_clean_up();
  {
    const std::lock_guard lock(mutex_);
    ended_with_ = exit_code;
  }
  request_done_.notify_all();
  if (on_end_program) on_end_program(exit_code);
}

void HeadlessWindow::dispatch(const Control* control, Event event, const EventArgs& args) {
  const ControlRecord* record = control ? control->record : &window_description().front();
  for (const EventBinding& binding : record->events) {
    if (binding.event == event) binding.handler(args);
  }
}

void HeadlessWindow::type(ControlName box, const Text& text) {
  Control* c = find(box);
  if (c && c->record->kind == ControlKind::edit_box && !c->disabled &&
      !c->record->settings.read_only) {
    c->text = text;
  }
}

void HeadlessWindow::query_account(const Text& name) {
  const ControlName account_box = controls::编辑框用户名;
  type(account_box, name);
  press_key(account_box, 13);
}

void HeadlessWindow::click(ControlName control) {
  if (const Control* c = find(control)) dispatch(c, Event::clicked, {});
}

void HeadlessWindow::press_key(ControlName control, int key_code) {
  const Control* c = find(control);
  if (c && !c->disabled) dispatch(c, Event::key_pressed, {.key_code = key_code});
}

void HeadlessWindow::left_button_press(ControlName control, int x, int y) {
  if (const Control* c = find(control)) {
    dispatch(c, Event::left_button_pressed, {.x = x, .y = y});
  }
}

void HeadlessWindow::activate() {
  if (destroyed_ || activated_) return;
  activated_ = true;
  dispatch(nullptr, Event::first_activated, {});
}

void HeadlessWindow::close() {
  if (destroyed_) return;
  dispatch(nullptr, Event::will_be_destroyed, {});
  destroyed_ = true;
}

} // namespace zembrik::headless
