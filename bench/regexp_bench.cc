// Times the regular-expression stand-in on the program's patterns, with its settings
// (IgnoreCase, Multiline, Global), over a page-sized subject and over 2 MB subjects built to make
// the lazy patterns backtrack. Prints the best of a few runs and whether Execute matched, found
// nothing or failed (a match limit reached).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/automation.h"
#include "platform/posix/posix_platform.h"

namespace {

using zembrik::automation::ObjectRef;
using zembrik::automation::Value;

const char16_t* const kPatterns[] = {
    u"<!--认证标志-->[\\s\\S]*?([\\u4e00-\\u9fa5]+)[\\s\\S]*?<!--商城及地域的标志-->",
    u"\\d+年\\d+月\\d+日",
    u"http:\\/\\/rate\\.taobao\\.com\\/user-rate-.*htm",
    u"userID: '(\\d+)'",
    u"<dd>  ([\\u4e00-\\u9fa5]+)  </dd>",
    u"所在地区：[\\s\\S]*?([\\u4e00-\\u9fa5]+)[\\s\\S]*?</li>",
    u"id=\\\"J_showShopStartDate\\\" value=\\\"(.*)\\\" />",
    u"好评率：(\\d.*)%",
    u"买家信用：[\\s\\S]*?(\\d+)</a>",
    u"卖家信用：[\\s\\S]*?(\\d+)",
    u">(\\d+)</a></td>",
    u"\\\"maxPage\\\":(\\d+)",
    u"aucNumId",
};

// Alternating runs of ASCII letters and Chinese characters, `size` code units in all.
std::u16string runs(std::size_t size, std::size_t ascii, std::size_t chinese, unsigned rng_start) {
  std::mt19937 rng(rng_start);
  std::u16string s;
  while (s.size() < size) {
    for (std::size_t i = 0; i < ascii; ++i)
      s += static_cast<char16_t>(u'a' + rng() % 26);
    for (std::size_t i = 0; i < chinese; ++i)
      s += static_cast<char16_t>(0x4e00 + rng() % 0x51a6);
  }
  return s;
}

struct Outcome {
  double best_ms = 0;
  const char* result = "";
};

Outcome time_execute(const std::u16string& pattern, const std::u16string& subject) {
  Outcome outcome;
  outcome.best_ms = 1e300;
  for (int run = 0; run < 3; ++run) {
    const ObjectRef re = zembrik::posix::make_regexp();
    re->put("IgnoreCase", true);
    re->put("Multiline", true);
    re->put("Global", true);
    re->put("Pattern", pattern);
    const auto start = std::chrono::steady_clock::now();
    const auto matches = re->call("Execute", {Value(subject)});
    const auto end = std::chrono::steady_clock::now();
    outcome.best_ms =
        std::min(outcome.best_ms, std::chrono::duration<double, std::milli>(end - start).count());
    if (!matches || !matches->object()) {
      outcome.result = "failed";
    } else {
      const auto count = matches->object()->get("Count");
      outcome.result = count && count->number().value_or(0) > 0 ? "matched" : "nothing";
    }
  }
  return outcome;
}

} // namespace

int main() {
  const std::u16string start = u"<!--认证标志-->";
  const std::size_t two_mb = std::size_t{1} << 20; // code units; 2 MB as GBK
  struct Subject {
    const char* name;
    std::u16string text;
  };
  const std::vector<Subject> subjects = {
      {"150 KB page", runs(5000, 20, 5, 1) + start + runs(120000, 20, 5, 2) +
                          u"<!--商城及地域的标志-->所在地区：浙江 杭州</li>买家信用：<a>12</a>" +
                          runs(2000, 20, 5, 3)},
      {"2 MB, runs 5/5", start + runs(two_mb, 5, 5, 4)},
      {"2 MB, runs 50/50", start + runs(two_mb, 50, 50, 5)},
      {"2 MB, Chinese only", start + runs(two_mb, 0, 1, 6)},
  };
  for (const Subject& subject : subjects) {
    std::printf("%s (%zu code units)\n", subject.name, subject.text.size());
    for (std::size_t i = 0; i < std::size(kPatterns); ++i) {
      const Outcome outcome = time_execute(kPatterns[i], subject.text);
      std::printf("  %8.2f ms  %-8s  pattern %zu\n", outcome.best_ms, outcome.result, i + 1);
    }
  }
  return 0;
}
