#include "text/match_set.h"

#include <cmath>
#include <limits>

#include "platform/platform.h"

namespace zembrik {

std::unique_ptr<ObjectHolder> regex_object;
std::unique_ptr<ObjectHolder> match_set;

namespace {

Text value_as_text(const automation::Value& value) {
  if (const auto* wide = value.text()) return from_wide(*wide);
  if (const auto number = value.number()) {
    if (std::isfinite(*number) && *number == std::trunc(*number) &&
        std::fabs(*number) < 9.0e15) {
      return text_of_int(static_cast<std::int64_t>(*number));
    }
  }
  return {};
}

automation::ObjectRef match_object(std::int64_t i) {
  if (!match_set || match_set->empty()) return nullptr;
  const auto item = match_set->get()->get("Item", {automation::Value(i - 1)});
  return item ? item->object() : nullptr;
}

} // namespace

void match_execute(const Text& pattern, const Text& subject) {
  if (!regex_object || !match_set) return;
  regex_object->release();
  auto* runtime = platform().automation;
  regex_object->hold(runtime ? runtime->create("VBScript.RegExp") : nullptr);
  automation::ObjectRef collection;
  if (const auto& regex = regex_object->get()) {
    regex->put("IgnoreCase", true);
    regex->put("Multiline", true);
    regex->put("Global", true);
    regex->put("Pattern", to_wide(pattern));
    // A query runs a dozen patterns over the same page: convert it once.
    static Text converted_subject;
    static std::u16string converted_wide;
    if (converted_subject != subject || converted_wide.empty()) {
      converted_subject = subject;
      converted_wide = to_wide(subject);
    }
    if (const auto result = regex->call("Execute", {automation::Value(converted_wide)})) {
      collection = result->object();
    }
  }
  // The new collection exists before the old one is released.
  match_set->release();
  match_set->hold(std::move(collection));
}

std::int64_t match_count() {
  if (!match_set || match_set->empty()) return 0;
  const auto count = match_set->get()->get("Count");
  const auto number = count ? count->number() : std::nullopt;
  if (!number || !std::isfinite(*number)) return 0;
  constexpr double limit = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int64_t>(std::trunc(std::fmin(std::fmax(*number, -limit), limit)));
}

Text match_value(std::int64_t i) {
  const auto match = match_object(i);
  if (!match) return {};
  const auto value = match->get("Value");
  return value ? value_as_text(*value) : Text{};
}

Text match_submatch(std::int64_t i, std::int64_t j) {
  const auto match = match_object(i);
  if (!match) return {};
  const auto groups = match->get("SubMatches");
  const auto collection = groups ? groups->object() : nullptr;
  if (!collection) return {};
  const auto value = collection->get("Item", {automation::Value(j - 1)});
  return value ? value_as_text(*value) : Text{};
}

} // namespace zembrik
