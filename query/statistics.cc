#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "app/config.h"
#include "app/controls.h"
#include "app/state.h"
#include "app/window_description.h"
#include "platform/platform.h"
#include "query/query.h"
#include "text/match_set.h"
#include "web/web.h"

namespace zembrik {
namespace {

using namespace controls;

constexpr int kReviewsPerListPage = 40;

// The twelve period boxes, row by row: week, month, half year, before; good, neutral, negative.
constexpr std::array<ControlName, 12> kPeriodBoxes = {
    编辑框一周好, 编辑框一周中, 编辑框一周差, 编辑框一月好, 编辑框一月中, 编辑框一月差,
    编辑框半年好, 编辑框半年中, 编辑框半年差, 编辑框年前好, 编辑框年前中, 编辑框年前差};

std::string spaces(std::size_t n) { return std::string(n, ' '); }

struct Markers {
  std::string left;
  std::string right;
};

// Where a seller's rating page carries each period count, in the order of kPeriodBoxes.
std::array<Markers, 12> seller_markers() {
  const std::string week_good_end =
      ",{'rater':'0', 'direction':'0', 'result':'1','timeLine':'-7'}],[";
  const std::string week_neutral_end =
      ",{'rater':'0','direction':'0','result':'0','timeLine':'-7'}],[";
  const std::string month_good_end =
      ",{'rater':'0','direction':'0','result':'1','timeLine':'-30'}],[";
  const std::string month_neutral_end =
      ",{'rater':'0','direction':'0','result':'0','timeLine':'-30'}],[";
  const std::string half_good_end =
      ",{'rater':'0','direction':'0','result':'1','timeLine':'-210'}],[";
  const std::string half_neutral_end =
      ",{'rater':'0','direction':'0','result':'0','timeLine':'-210'}],[";
  const std::string half_year_start = "最近一月</li>\r\n" + spaces(40) + "<li rel=\"[[";
  const std::string cell_end = "</a>\r\n" + spaces(108) + "</td>\r\n";
  return {{
      {"<li rel=\"[[", week_good_end},
      {week_good_end, week_neutral_end},
      {week_neutral_end,
       ",{'rater':'0','direction':'0','result':'-1','timeLine':'-7'}]]\">最近一周</li>"},
      {"<li class=\"current\"  rel=\"[[", month_good_end},
      {month_good_end, month_neutral_end},
      {month_neutral_end,
       ",{'rater':'0','direction':'0','result':'-1','timeLine':'-30'}]]\">最近一月</li>"},
      {half_year_start, half_good_end},
      {half_good_end, half_neutral_end},
      {half_neutral_end,
       ",{'rater':'0','direction':'0','result':'-1','timeLine':'-210'}]]\" >最近半年</li>"},
      {"=\"tbrate.2.5.1\">", cell_end + spaces(52) + "<td class=\"ratenormal\">"},
      {"=\"tbrate.2.5.2\">", cell_end + spaces(52) + "<td class=\"ratebad\">"},
      {"=\"tbrate.2.5.3\">", cell_end + spaces(48) + "</tr>"},
  }};
}

// A decimal page count as a 32-bit integer, truncated toward zero and saturating.
std::int32_t page_count_of(const Text& text) {
  const double value = std::trunc(number_of(text));
  constexpr double max = std::numeric_limits<std::int32_t>::max();
  if (!(value > 0)) return 0; // also NaN
  return value >= max ? std::numeric_limits<std::int32_t>::max()
                      : static_cast<std::int32_t>(value);
}

Text list_address(int result_code, const Text& id) {
  const std::string code = result_code == 0 ? "0" : "-1";
  return gbk(std::string("http://") + config::rating_host() +
             "/member_rate.htm?content=&result=" + code + "&user_id=") +
         id + gbk("&rater=3&direction=1");
}

} // namespace

void fill_statistics(const Text& rating_page) {
  Window& window = *platform().window;
  const bool buyer = account_kind == AccountKind::Buyer;

  match_execute(gbk("好评率：(\\d.*)%"), rating_page);
  window.set_text(编辑框好评率, match_submatch(1, 1) + gbk("%"));

  match_execute(buyer ? gbk("买家信用：[\\s\\S]*?(\\d+)</a>") : gbk("卖家信用：[\\s\\S]*?(\\d+)"),
                rating_page);
  window.set_text(编辑框信用, match_submatch(1, 1));

  const Text prefix =
      gbk(std::string("http://") + config::image_host() + (buyer ? "/newrank/b_" : "/newrank/s_"));
  const Text gif = gbk(".gif");
  const Text icon_address = prefix + text_between(rating_page, prefix, gif) + gif;
  Downloader* downloader = platform().downloader;
  window.set_picture(图片框信用, downloader ? downloader->download_resource(icon_address) : Bytes());

  if (buyer) match_execute(gbk(">(\\d+)</a></td>"), rating_page);
  if (window.read_text(标签评价) == gbk("买家评价")) {
    for (std::size_t k = 0; k < kPeriodBoxes.size(); ++k) {
      window.set_text(kPeriodBoxes[k], match_submatch(static_cast<std::int64_t>(k) + 1, 1));
    }
  } else {
    const auto markers = seller_markers();
    for (std::size_t k = 0; k < kPeriodBoxes.size(); ++k) {
      Text count = text_between(rating_page, gbk(markers[k].left), gbk(markers[k].right));
      if (k >= 9 && count.empty()) count = Text("0");
      window.set_text(kPeriodBoxes[k], count);
    }
  }

  count_given_reviews(0, gbk("正在查询···"), 编辑框中评);
  if (window.is_destroyed()) return;
  count_given_reviews(-1, gbk("正在查询····"), 编辑框差评);
}

void count_given_reviews(int result_code, const Text& progress_caption, ControlName target) {
  Window& window = *platform().window;
  window.set_text_colour(分组框查询, kMagenta);
  window.set_text(分组框查询, progress_caption);
  window.process_pending_events();
  if (window.is_destroyed()) return;

  const Text first_address = list_address(result_code, window.read_text(编辑框id));
  Text list_page = page_text(fetch_page(first_address));
  match_execute(gbk("\"maxPage\":(\\d+)"), list_page);
  const std::int32_t max_page = page_count_of(match_submatch(1, 1));

  std::int64_t count = 0;
  if (max_page != 0) {
    window.process_pending_events();
    if (window.is_destroyed()) return;
    if (max_page > 1) {
      const Text last_address = list_address(result_code, window.read_text(编辑框id)) +
                                gbk("&page=") + text_of_int(max_page);
      list_page = page_text(fetch_page(last_address));
    }
    match_execute(gbk("aucNumId"), list_page);
    count = (static_cast<std::int64_t>(max_page) - 1) * kReviewsPerListPage + match_count();
  }
  window.set_text(target, count > 199 ? gbk("≥200") : text_of_int(count));
}

} // namespace zembrik
