// The match set on the PCRE2 stand-in with any pattern and subject: every execution ends (the
// match limits stop runaway backtracking), and every match and group is a piece of the subject.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/state.h"
#include "fuzz/fuzz_support.h"
#include "text/match_set.h"

namespace {

using zembrik::Text;
using zembrik::fuzz::require;

zembrik::posix::Registry& registry() {
  static zembrik::posix::Registry instance;
  static const bool once = [] {
    instance.add("VBScript.RegExp", &zembrik::posix::make_regexp);
    zembrik::Platform p;
    p.code_page = &zembrik::posix::code_page_936();
    p.automation = &instance;
    zembrik::install_platform(p);
    return true;
  }();
  (void)once;
  return instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  registry();
  const auto fields = zembrik::fuzz::split_fields(data, size, 2);
  const Text pattern(fields[0]);
  const Text subject(fields[1]);
  // Matches are cut from the subject as the component sees it: through the code page.
  const std::string seen = zembrik::from_wide(zembrik::to_wide(subject)).bytes;

  zembrik::create_module_state();
  zembrik::match_execute(pattern, subject);
  const std::int64_t count = zembrik::match_count();
  require(count >= 0, "a count is never negative");
  for (std::int64_t i = 1; i <= count && i <= 8; ++i) {
    const Text value = zembrik::match_value(i);
    require(seen.find(value.bytes) != std::string::npos, "a match is a piece of the subject");
    for (std::int64_t j = 1; j <= 3; ++j) {
      const Text group = zembrik::match_submatch(i, j);
      require(seen.find(group.bytes) != std::string::npos, "a group is a piece of the subject");
    }
  }
  require(zembrik::match_value(count + 1).empty(), "no match after the last");
  zembrik::exit_clean_up();
  return 0;
}
