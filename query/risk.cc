#include <initializer_list>
#include <optional>

#include "app/controls.h"
#include "app/state.h"
#include "app/window_description.h"
#include "platform/platform.h"
#include "query/query.h"
#include "resources.h"

namespace zembrik {
namespace {

using namespace controls;

constexpr double kTolerance = 0.0000001;

// Days since 1970-01-01 of a Gregorian date.
std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool is_leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && is_leap(y) ? 29 : kDays[m - 1];
}

// Reads up to `max_digits` ASCII digits at `pos`; nullopt when there is none.
std::optional<int> digits_at(const std::string& s, std::size_t& pos, std::size_t max_digits) {
  int value = 0;
  std::size_t n = 0;
  while (pos < s.size() && n < max_digits && s[pos] >= '0' && s[pos] <= '9') {
    value = value * 10 + (s[pos] - '0');
    ++pos;
    ++n;
  }
  if (n == 0) return std::nullopt;
  return value;
}

bool take(const std::string& s, std::size_t& pos, const std::string& word) {
  if (s.compare(pos, word.size(), word) != 0) return false;
  pos += word.size();
  return true;
}

// A registration date such as 2010年5月3日, as days since 1970 at local midnight.
std::optional<double> date_of(const Text& text) {
  const std::string& s = text.bytes;
  std::size_t pos = 0;
  const auto year = digits_at(s, pos, 4);
  if (!year || !take(s, pos, gbk("年").bytes)) return std::nullopt;
  const auto month = digits_at(s, pos, 2);
  if (!month || !take(s, pos, gbk("月").bytes)) return std::nullopt;
  const auto day = digits_at(s, pos, 2);
  if (!day || !take(s, pos, gbk("日").bytes) || pos != s.size()) return std::nullopt;
  if (*year < 100 || *year > 9999 || *month < 1 || *month > 12 || *day < 1 ||
      *day > days_in_month(*year, *month)) {
    return std::nullopt;
  }
  return static_cast<double>(
      days_from_civil(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day)));
}

double now_in_days() {
  const LocalTime t = platform().clock->now();
  const auto day =
      days_from_civil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
  return static_cast<double>(day) + (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
}

// A figure box read as a number; "≥200" reads as 200.
double figure(Window& window, ControlName box) {
  Text text = window.read_text(box);
  const Text at_least = gbk("≥");
  if (text.bytes.starts_with(at_least.bytes)) text.bytes.erase(0, at_least.size());
  return number_of(text);
}

double sum_of(Window& window, std::initializer_list<ControlName> boxes) {
  double sum = 0;
  for (const ControlName box : boxes) sum += figure(window, box);
  return sum;
}

void rule_holds(Window& window, const char* reason, std::initializer_list<ControlName> boxes) {
  window.set_picture(图片框安全, resources::picture_danger());
  window.set_text(编辑框安全, window.read_text(编辑框安全) + gbk(reason));
  for (const ControlName box : boxes) window.set_text_colour(box, kRed);
}

} // namespace

void assess_risk() {
  Window& window = *platform().window;
  const Text header = gbk("↑单击上图可查看详细信息↑\r\n\r\n");

  if (account_kind == AccountKind::Buyer) {
    // A missing or impossible date counts as far in the past: the rule does not hold.
    if (const auto date = date_of(window.read_text(编辑框日期))) {
      if (now_in_days() - *date - 30 <= kTolerance) {
        rule_holds(window, "●注册日期小于30天●\r\n", {编辑框日期});
      }
    }
    if (figure(window, 编辑框中评) - 2 > kTolerance) {
      rule_holds(window, "●给出的中评大于2个●\r\n", {编辑框中评});
    }
    if (figure(window, 编辑框差评) - 1 > kTolerance) {
      rule_holds(window, "●给出的差评大于1个●\r\n", {编辑框差评});
    }
    if (sum_of(window, {编辑框一周好, 编辑框一周中, 编辑框一周差}) - 5 > kTolerance) {
      rule_holds(window, "●最近一周内交易超过5笔●\r\n", {编辑框一周好, 编辑框一周中, 编辑框一周差});
    }
    if (sum_of(window, {编辑框一月好, 编辑框一月中, 编辑框一月差}) - 20 > kTolerance) {
      rule_holds(window, "●最近一月内交易超过20笔●\r\n",
                 {编辑框一月好, 编辑框一月中, 编辑框一月差});
    }
    window.set_text(编辑框安全, header + window.read_text(编辑框安全));
  } else {
    window.set_picture(图片框安全, resources::picture_unknown());
    window.set_text(编辑框安全, header + window.read_text(编辑框安全));
  }

  if (window.read_picture(图片框安全) == resources::picture_pending()) {
    window.set_picture(图片框安全, resources::picture_safe());
  }
}

} // namespace zembrik
