#include "text/match_set.h"

namespace zembrik {

Text text_between(const Text& text, const Text& left, const Text& right) {
  const std::int64_t p = find_text_ignore_case(text, left);
  if (p < 0) return {};
  const std::size_t rest_start = static_cast<std::size_t>(p - 1) + left.size();
  const Text rest(text.bytes.substr(rest_start));
  const std::int64_t q = find_text_ignore_case(rest, right);
  if (q < 0) return {};
  return Text(rest.bytes.substr(0, static_cast<std::size_t>(q - 1)));
}

} // namespace zembrik
