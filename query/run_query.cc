#include <string>

#include "app/config.h"
#include "app/controls.h"
#include "app/state.h"
#include "app/window_description.h"
#include "platform/platform.h"
#include "query/query.h"
#include "resources.h"
#include "text/match_set.h"
#include "web/web.h"

namespace zembrik {

AccountKind account_kind = AccountKind::Buyer;

namespace {

using namespace controls;

constexpr const char* kCertificationPattern =
    "<!--认证标志-->[\\s\\S]*?([\\u4e00-\\u9fa5]+)[\\s\\S]*?<!--商城及地域的标志-->";

// The rating-page address pattern: the rating host with each "." escaped.
Text rating_page_pattern() {
  std::string host;
  for (const char c : std::string(config::rating_host())) {
    if (c == '.') host += "\\.";
    else host.push_back(c);
  }
  return gbk("http:\\/\\/" + host + "\\/user-rate-.*htm");
}

struct KindTexts {
  std::uint32_t colour;
  const char* kind;
  const char* credit_caption;
  const char* review_caption;
  const char* date_caption;
};

KindTexts texts_of(AccountKind kind) {
  switch (kind) {
  case AccountKind::Buyer:
    return {kRed, "淘宝买家", "买家信用：", "买家评价", "注册时间："};
  case AccountKind::Seller:
    return {kBlue, "淘宝卖家", "卖家信用：", "卖家评价", "创店时间："};
  case AccountKind::Tmall:
    break;
  }
  return {kBlue, "淘宝天猫", "卖家信用：", "卖家评价", "创店时间："};
}

// Boxes emptied when a query starts, in order.
constexpr ControlName kEmptiedAtStart[] = {
    编辑框账号,   编辑框id,     编辑框日期,   编辑框认证,   编辑框地区,   编辑框中评,
    编辑框差评,   编辑框信用,   编辑框好评率, 编辑框一周好, 编辑框一周中, 编辑框一周差,
    编辑框一月好, 编辑框一月中, 编辑框一月差, 编辑框半年好, 编辑框半年中, 编辑框半年差,
    编辑框年前好, 编辑框年前中, 编辑框年前差, 编辑框安全};

// The boxes the risk assessment may turn red, set back to black when a query starts.
constexpr ControlName kBlackenedAtStart[] = {编辑框日期,   编辑框中评,   编辑框差评,
                                             编辑框一周好, 编辑框一周中, 编辑框一周差,
                                             编辑框一月好, 编辑框一月中, 编辑框一月差};

void show_progress(Window& window, const char* caption) {
  window.set_text_colour(分组框查询, kMagenta);
  window.set_text(分组框查询, gbk(caption));
}

// The failure message for a member page, or null when it passes.
const char* member_page_failure(const Text& page) {
  if (page.empty()) return "获取店铺信息失败！";
  if (find_text(page, gbk("很抱歉！淘宝正在对该店铺盘点，请稍后再试！")) > 0) {
    return "该用户不存在或淘宝正在对该店铺盘点！";
  }
  if (find_text(page, gbk("通告：該用戶已經被查封！")) > 0) return "该账号已被查封！";
  return nullptr;
}

} // namespace

void run_query() {
  // A click on the query button while a query waits between its stages is ignored: the
  // shared match set belongs to one query at a time.
  static bool running = false;
  if (running) return;
  running = true;
  struct Done {
    ~Done() { running = false; }
  } done;
  Window& window = *platform().window;

  window.set_disabled(编辑框用户名, true);
  show_progress(window, "正在查询·");
  const Text account = trim(window.read_text(编辑框用户名));
  window.set_text(编辑框用户名, account);
  for (const ControlName box : kEmptiedAtStart) window.set_text(box, Text());
  for (const ControlName box : kBlackenedAtStart) window.set_text_colour(box, kBlack);
  window.set_text_colour(分组框信用及评价信息, kBlack);
  window.set_text(分组框信用及评价信息, gbk("信用及评价信息"));
  window.set_picture(图片框安全, resources::picture_pending());
  window.process_pending_events();
  if (window.is_destroyed()) return;

  const Text member_address = gbk(std::string("http://") + config::member_host() +
                                  "/member/user_profile.jhtml?user_id=") +
                              url_encode_account(account);
  Text page = page_text(fetch_page(member_address));
  const Text certification_pattern = gbk(kCertificationPattern);
  match_execute(certification_pattern, page);
  const Text member_certification = match_submatch(1, 1);

  if (const char* failure = member_page_failure(page)) {
    window.set_text_colour(分组框账号信息, kMagenta);
    window.set_text(分组框账号信息, gbk(failure));
    window.set_text_colour(分组框查询, kBlack);
    window.set_text(分组框查询, gbk("查询"));
    window.set_disabled(编辑框用户名, false);
    return;
  }

  window.set_text_colour(分组框账号信息, kBlack);
  window.set_text(分组框账号信息, gbk("账号信息"));
  match_execute(gbk("\\d+年\\d+月\\d+日"), page);
  const Text registration_date = match_value(1);
  match_execute(rating_page_pattern(), page);

  show_progress(window, "正在查询··");
  window.process_pending_events();
  if (window.is_destroyed()) return;

  page = page_text(fetch_page(match_value(1)));

  AccountKind kind = AccountKind::Buyer;
  if (find_text(page, gbk("卖家信息")) > 0) {
    kind = find_text(page, gbk("tmall-pro")) > 0 ? AccountKind::Tmall : AccountKind::Seller;
  }
  account_kind = kind;
  const KindTexts texts = texts_of(kind);
  window.set_text_colour(编辑框账号, texts.colour);
  window.set_text(编辑框账号, gbk(texts.kind));
  window.set_text(标签买家, gbk(texts.credit_caption));
  window.set_text(标签评价, gbk(texts.review_caption));
  window.set_text(标签注册时间, gbk(texts.date_caption));
  if (kind == AccountKind::Tmall) {
    window.set_text_colour(分组框信用及评价信息, kRed);
    window.set_text(分组框信用及评价信息, gbk("天猫（卖家信用明细无法查询）"));
  }

  match_execute(gbk("userID: '(\\d+)'"), page);
  window.set_text(编辑框id, match_submatch(1, 1));
  window.set_text(编辑框日期, registration_date);

  match_execute(certification_pattern, page);
  const Text phone_verified = gbk("手机验证");
  window.set_text(编辑框认证,
                  member_certification == phone_verified ? phone_verified : match_submatch(1, 1));

  match_execute(kind == AccountKind::Buyer
                    ? gbk("<dd>  ([\\u4e00-\\u9fa5]+)  </dd>")
                    : gbk("所在地区：[\\s\\S]*?([\\u4e00-\\u9fa5]+)[\\s\\S]*?</li>"),
                page);
  window.set_text(编辑框地区, match_submatch(1, 1));

  if (kind != AccountKind::Buyer) {
    match_execute(gbk("id=\"J_showShopStartDate\" value=\"(.*)\" />"), page);
    window.set_text(编辑框日期, match_submatch(1, 1));
  }

  if (kind != AccountKind::Tmall) fill_statistics(page);
  if (window.is_destroyed()) return;

  show_progress(window, "查询完毕");
  assess_risk();
  window.set_disabled(编辑框用户名, false);
}

} // namespace zembrik
