#pragma once
#include <cstdint>
#include <memory>

#include "platform/automation.h"
#include "text/text.h"

namespace zembrik {

// Holds at most one counted reference to an automation object.
class ObjectHolder {
public:
  void hold(automation::ObjectRef object) { object_ = std::move(object); }
  void release() { object_.reset(); }
  [[nodiscard]] const automation::ObjectRef& get() const { return object_; }
  [[nodiscard]] bool empty() const { return object_ == nullptr; }

private:
  automation::ObjectRef object_;
};

// The regular-expression object of the last execution and the match set it produced. Start-up
// creates both holders empty; the exit clean-up releases the object, then the set. Only the
// routines below touch them, on the UI thread.
extern std::unique_ptr<ObjectHolder> regex_object;
extern std::unique_ptr<ObjectHolder> match_set;

// Runs the pattern over the subject with a new "VBScript.RegExp" (IgnoreCase, Multiline and
// Global set) and makes its result the current match set. A failure leaves the set empty.
void match_execute(const Text& pattern, const Text& subject);
// Number of matches in the current set; 0 when it is empty or cannot be read.
std::int64_t match_count();
// Text of match i (from 1); the empty text when anything fails.
Text match_value(std::int64_t i);
// Text of group j (from 1) of match i (from 1); the empty text for a group that took no part
// or when anything fails.
Text match_submatch(std::int64_t i, std::int64_t j);

// The piece after the first occurrence of `left` up to the first `right` after it (markers
// compared with ASCII letters case-folded, at character starts); empty when either is missing.
Text text_between(const Text& text, const Text& left, const Text& right);

} // namespace zembrik
