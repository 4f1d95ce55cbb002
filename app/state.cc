#include "app/state.h"

#include <mutex>

#include "text/match_set.h"

namespace zembrik {
namespace {

// The update check thread is never waited for, so the text it writes is guarded: the clean-up
// then cannot release it while that thread replaces it.
std::mutex update_page_mutex;
Text update_page;
int clean_up_runs = 0;
bool state_created = false;

} // namespace

Text update_page_text() {
  const std::lock_guard lock(update_page_mutex);
  return update_page;
}

void store_update_page_text(Text text) {
  const std::lock_guard lock(update_page_mutex);
  update_page = std::move(text);
}

void create_module_state() {
  regex_object = std::make_unique<ObjectHolder>();
  match_set = std::make_unique<ObjectHolder>();
  store_update_page_text(Text());
  account_kind = AccountKind::Buyer;
  clean_up_runs = 0;
  state_created = true;
}

void exit_clean_up() {
  if (!state_created) return;
  state_created = false;
  ++clean_up_runs;
  {
    const std::lock_guard lock(update_page_mutex);
    update_page = Text();
  }
  if (regex_object) regex_object->release();
  regex_object.reset();
  if (match_set) match_set->release();
  match_set.reset();
}

int exit_clean_up_runs() { return clean_up_runs; }

} // namespace zembrik
