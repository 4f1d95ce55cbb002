// The demo accounts: their facts, and the member, rating and given-review list pages made from
// the templates under pages/ with them.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "site.h"
#include "site_files.h"

namespace zembrik::site {

namespace {

enum class Kind { buyer, seller, tmall, unknown, stocktaking, banned };

// Review counts received, by period (week, month, half year, before) and result. The first
// three periods are cumulative, as on the site; the credit is good minus bad of the half year
// and before.
struct Counts {
  std::array<std::array<int, 3>, 4> by_period{};
  [[nodiscard]] int good() const { return by_period[2][0] + by_period[3][0]; }
  [[nodiscard]] int neutral() const { return by_period[2][1] + by_period[3][1]; }
  [[nodiscard]] int bad() const { return by_period[2][2] + by_period[3][2]; }
};

struct Account {
  DemoAccount public_facts;
  Kind kind = Kind::buyer;
  std::string registered; // "2009-08-16"; when empty, `registered_days_ago` before today
  int registered_days_ago = 0;
  std::string member_cert;        // shown on the member page
  std::vector<std::string> certs; // shown on the rating page; the first is the one scraped
  std::string sex;
  std::string region;
  Counts received;
  int given_neutral = 0;
  int given_bad = 0;
  std::string shop_name;
  std::string shop_start; // "2010-05-03"
  int items = 16;         // items listed on the member page
};

const std::vector<Account>& accounts() {
  static const std::vector<Account> list{
      {.public_facts = {"safe_buyer", "快乐的小鱼", "176540321"},
       .registered = "2009-08-16",
       .member_cert = "支付宝个人认证",
       .certs = {"支付宝个人认证", "手机验证"},
       .sex = "女",
       .region = "北京",
       .received = {{{{1, 0, 0}, {3, 0, 0}, {14, 1, 0}, {22, 0, 1}}}},
       .given_neutral = 2,
       .given_bad = 1},
      {.public_facts = {"risky_buyer", "tb新手_2012", "883017456"},
       .registered_days_ago = 10,
       .member_cert = "手机验证",
       .certs = {"支付宝实名认证"},
       .sex = "男",
       .region = "广东",
       .received = {{{{5, 1, 1}, {5, 1, 1}, {5, 1, 1}, {0, 0, 0}}}},
       .given_neutral = 53,
       .given_bad = 3},
      {.public_facts = {"seller", "杭州小铺子", "35981127"},
       .kind = Kind::seller,
       .registered = "2009-11-20",
       .member_cert = "支付宝实名认证",
       .certs = {"支付宝实名认证", "淘宝个人实名认证"},
       .sex = "女",
       .region = "浙江杭州",
       .received = {{{{12, 0, 1}, {45, 2, 1}, {260, 4, 2}, {980, 0, 1}}}},
       .given_neutral = 1,
       .shop_name = "小铺子家居生活馆",
       .shop_start = "2010-05-03"},
      {.public_facts = {"tmall", "云裳服饰旗舰店", "1029384756"},
       .kind = Kind::tmall,
       .registered = "2011-10-08",
       .member_cert = "网店经营者营业执照信息",
       .certs = {"网店经营者营业执照信息"},
       .region = "上海",
       .shop_name = "云裳服饰旗舰店",
       .shop_start = "2011-11-11"},
      {.public_facts = {"unknown", "查无此人", ""}, .kind = Kind::unknown},
      {.public_facts = {"stocktaking", "盘点中的店铺", ""}, .kind = Kind::stocktaking},
      {.public_facts = {"banned", "违规账号007", ""}, .kind = Kind::banned},
  };
  return list;
}

// Things the pages pick from by index, so that every run makes the same pages.
const char* const kItemTitles[] = {
    "2012春装新款韩版修身长袖雪纺连衣裙",
    "纯棉加厚四件套全棉床单被套1.8m床",
    "原装正品手机充电宝移动电源10000毫安",
    "特级西湖龙井茶叶明前新茶250g礼盒装",
    "男士休闲裤直筒宽松棉质长裤",
    "家用多功能料理机榨汁机",
    "不锈钢保温杯男女士便携水杯500ml",
    "韩国进口补水保湿面膜贴10片装",
    "休闲帆布鞋女学生平底单鞋",
    "手工红糖老姜茶大姨妈暖宫",
    "加厚珊瑚绒毛毯冬季午睡盖毯",
    "创意桌面收纳盒办公整理盒三件套",
    "儿童益智积木拼装玩具大颗粒",
    "宝宝纯棉连体衣婴儿爬服",
    "无线蓝牙耳机运动跑步入耳式",
    "新疆和田大枣一级红枣500g",
};
const char* const kPrices[] = {"128.00", "239.00", "89.90",  "168.00", "79.00", "299.00",
                               "45.80",  "59.00",  "69.00",  "25.80",  "99.00", "36.50",
                               "118.00", "49.90",  "139.00", "29.90"};
const char* const kTraders[] = {"小燕子的衣橱", "老王数码专营", "茶香四溢",   "宝贝妈咪小店",
                                "阳光家纺",     "天天特价屋",   "美丽人生88", "绿野仙踪户外",
                                "hello小熊",    "一品茶庄"};
const char* const kTraderRanks[] = {"blue_1", "blue_3", "red_5", "cap_1",  "blue_2",
                                    "red_4",  "blue_4", "red_3", "blue_1", "cap_2"};
const int kTraderScores[] = {320, 1560, 230, 12045, 880, 140, 2450, 77, 301, 21870};
const char* const kGoodWords[] = {"东西很好，和描述的一样，卖家服务态度也很好，下次还来！",
                                  "质量不错，物流很快，包装也很仔细，好评！",
                                  "很满意的一次购物，宝贝很漂亮。",
                                  "发货速度快，东西实惠，推荐大家购买。", "好评！"};
const char* const kNeutralWords[] = {"东西一般吧，和图片有点差距，物流有点慢。",
                                     "颜色和图片上不太一样，凑合用吧。",
                                     "包装有点破损，东西还行。"};
const char* const kBadWords[] = {"质量太差了，和描述完全不符，不推荐购买。",
                                 "等了半个月才到货，联系卖家也不理人。",
                                 "收到就是坏的，退换货很麻烦。"};

template <typename T, std::size_t N> const T& pick(const T (&items)[N], std::size_t index) {
  return items[index % N];
}

// The percent-encoded GBK form of a UTF-8 nickname, as user_id= carries it.
std::string encoded_name(std::string_view utf8) {
  const std::string target = member_target(utf8);
  return target.substr(target.find('=') + 1);
}

std::tm local_day(int days_ago) {
  std::time_t now = std::time(nullptr) - static_cast<std::time_t>(days_ago) * 86400;
  std::tm day{};
  localtime_r(&now, &day);
  return day;
}

std::string format_day(const std::tm& day, const char* format) {
  char text[64];
  std::strftime(text, sizeof text, format, &day);
  return text;
}

// "2009-08-16" -> "2009年8月16日", the member page's form.
std::string chinese_date(const std::string& iso) {
  int year = 0, month = 0, day = 0;
  std::sscanf(iso.c_str(), "%d-%d-%d", &year, &month, &day);
  return std::to_string(year) + "年" + std::to_string(month) + "月" + std::to_string(day) + "日";
}

// The rank icon name of a credit score on the site's bands, "" below 4.
std::string rank_name(int score, bool seller) {
  static const int kBands[] = {4,    11,   41,    91,    151,   251,    501,    1001,
                               2001, 5001, 10001, 20001, 50001, 100001, 200001, 500001};
  static const char* const kRanks[] = {"red", "blue", "cap", "crown"};
  int band = -1;
  for (int k = 0; k < 16; ++k) {
    if (score >= kBands[k]) band = k;
  }
  if (band < 0) return "";
  if (band == 15 && !seller) band = 14; // buyers stop at the fifth crown
  return std::string(seller ? "s_" : "b_") + kRanks[band / 5] + "_" + std::to_string(band % 5 + 1);
}

std::string percent(int good, int bad) {
  if (good + bad == 0) return "100.00";
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", 100.0 * good / (good + bad));
  return text;
}

// A template with its "{{INCLUDE name}}" lines replaced by the named partials.
std::string page_template(std::string_view name) {
  std::string text(embedded_file("pages/" + std::string(name)));
  static constexpr std::string_view kInclude = "{{INCLUDE ";
  for (auto at = text.find(kInclude); at != std::string::npos; at = text.find(kInclude, at)) {
    const auto end = text.find("}}", at);
    const std::string partial =
        "pages/" + text.substr(at + kInclude.size(), end - at - kInclude.size());
    std::string body(embedded_file(partial));
    if (!body.empty() && body.back() == '\n' && end + 2 < text.size() && text[end + 2] == '\n') {
      body.pop_back();
    }
    text.replace(at, end + 2 - at, body);
    at += body.size();
  }
  return text;
}

using Keys = std::map<std::string, std::string>;

std::string fill(std::string_view name, const Keys& keys) {
  // Keys only; hosts and GBK come later, over the whole page.
  std::string text = page_template(name);
  std::string out;
  std::size_t from = 0;
  while (true) {
    const auto open = text.find("{{", from);
    const auto close = open == std::string::npos ? open : text.find("}}", open);
    if (close == std::string::npos) break;
    const auto key = keys.find(text.substr(open + 2, close - open - 2));
    if (key == keys.end()) {
      out.append(text, from, close + 2 - from);
    } else {
      out.append(text, from, open - from);
      out += key->second;
    }
    from = close + 2;
  }
  out.append(text, from);
  return out;
}

Keys head_keys(const std::string& title, const std::string& css, int app_id) {
  return {{"TITLE", title}, {"CSS", css}, {"APP_ID", std::to_string(app_id)}};
}

std::string cert_images(const std::vector<std::string>& certs) {
  static const std::map<std::string, std::string> kIcons{{"支付宝个人认证", "T1alipay_personal"},
                                                         {"支付宝实名认证", "T1alipay_realname"},
                                                         {"淘宝个人实名认证", "T1taobao_realname"},
                                                         {"手机验证", "T1mobile"},
                                                         {"网店经营者营业执照信息", "T1license"}};
  std::string out;
  for (const auto& cert : certs) {
    if (!out.empty()) out += "\n";
    out += "\t\t\t\t\t\t\t<img src=\"http://{{IMAGE_HOST}}/tps/i1/" + kIcons.at(cert) +
           ".png\" alt=\"" + cert + "\" title=\"" + cert + "\" width=\"16\" height=\"16\" />";
  }
  return out;
}

std::string registration_iso(const Account& account) {
  if (!account.registered.empty()) return account.registered;
  return format_day(local_day(account.registered_days_ago), "%Y-%m-%d");
}

std::string member_page(const Account& account, const std::string& nick_url) {
  const auto& facts = account.public_facts;
  std::string items;
  for (int i = 0; i < account.items; ++i) {
    const auto index = static_cast<std::size_t>(i) + facts.name.size();
    items += fill("member_item.html", {{"ITEM_ID", std::to_string(14532087 + 7919 * index)},
                                       {"PIC_DIR", std::to_string(1 + index % 4)},
                                       {"ITEM_TITLE", pick(kItemTitles, index)},
                                       {"ITEM_PRICE", pick(kPrices, index)},
                                       {"ITEM_SOLD", std::to_string(3 + (index * 37) % 290)}});
  }
  if (!items.empty() && items.back() == '\n') items.pop_back();
  Keys keys = head_keys(facts.name + "的个人资料 - 淘宝网", "member", 3);
  keys.insert({{"NICK", facts.name},
               {"NICK_URL", nick_url},
               {"USER_ID", facts.user_id},
               {"CERT", cert_images({account.member_cert})},
               {"REG_DATE", chinese_date(registration_iso(account))},
               {"SEX", account.sex},
               {"ITEMS_TITLE", account.kind == Kind::buyer ? "猜你喜欢" : facts.name + "的宝贝"},
               {"ITEMS", items}});
  return fill("member.html", keys);
}

// The most recent reviews received (or, with `given`, given to others), newest first.
std::string review_rows(const Account& account, bool seller_page, bool given) {
  const Counts& c = account.received;
  const int total = given ? 20 : c.good() + c.neutral() + c.bad();
  const int bad = given ? std::min(account.given_bad, 3) : c.bad() > 0 ? 1 : 0;
  const int neutral = given ? std::min(account.given_neutral, 3) : c.neutral() > 0 ? 1 : 0;
  std::string rows;
  for (int i = 0; i < std::min(total, 20); ++i) {
    const auto index = static_cast<std::size_t>(i) + (given ? 5 : 0);
    // The few bad and neutral reviews are spread among the good ones.
    const int result = (i % 3 == 2 && i / 3 < bad) ? -1 : (i % 3 == 1 && i / 3 < neutral) ? 0 : 1;
    const int days = account.registered.empty() ? i / 2 : 2 + i * 5;
    const std::tm day = local_day(days);
    const std::string trader = pick(kTraders, index);
    // Buyers rate sellers and sellers rate buyers, so the other side's icon is of the other kind.
    const bool other_is_buyer = seller_page != given;
    rows += fill(
        "rate_row.html",
        {{"ROW_CLASS", i % 2 ? "odd" : "even"},
         {"RESULT_CLASS", result == 1   ? "rate-good"
                          : result == 0 ? "rate-normal"
                                        : "rate-bad"},
         {"RESULT_TEXT", result == 1   ? "好评"
                         : result == 0 ? "中评"
                                       : "差评"},
         {"CONTENT", result == 1   ? pick(kGoodWords, index)
                     : result == 0 ? pick(kNeutralWords, index)
                                   : pick(kBadWords, index)},
         {"DATE", format_day(day, "%Y-%m-%d ") + std::to_string(10 + i % 12) + ":" +
                      std::to_string(10 + (i * 7) % 50) + ":" + std::to_string(10 + (i * 13) % 50)},
         {"ROLE_TEXT", other_is_buyer ? "买家" : "卖家"},
         {"RATER", trader},
         {"RATER_URL", encoded_name(trader)},
         {"RATER_RANK", std::string(other_is_buyer ? "b_" : "s_") + pick(kTraderRanks, index)},
         {"ITEM_ID", std::to_string(16032417 + 104729 * index)},
         {"ITEM_TITLE", pick(kItemTitles, index + 3)},
         {"ITEM_PRICE", pick(kPrices, index + 3)}});
  }
  if (!rows.empty() && rows.back() == '\n') rows.pop_back();
  return rows;
}

Keys rating_keys(const Account& account, const std::string& nick_url, bool seller_page) {
  const auto& facts = account.public_facts;
  const Counts& c = account.received;
  static const char* const kPeriods[] = {"WEEK", "MONTH", "HALF", "OLD"};
  static const char* const kResults[] = {"GOOD", "NEUTRAL", "BAD"};
  Keys keys = head_keys(facts.name + " - 信用评价 - 淘宝网", "rate", 7);
  keys.insert({{"NICK", facts.name},
               {"NICK_URL", nick_url},
               {"USER_ID", facts.user_id},
               {"CERT", cert_images(account.certs)},
               {"REGION", account.region},
               {"CREDIT", std::to_string(c.good() - c.bad())},
               {"RANK", rank_name(c.good() - c.bad(), account.kind != Kind::buyer)},
               {"GOOD_RATE", percent(c.good(), c.bad())},
               {"RECEIVED_TITLE", seller_page ? "来自买家的评价" : "来自卖家的评价"},
               {"RATE_ROWS", review_rows(account, seller_page, false)},
               {"GIVEN_ROWS", review_rows(account, seller_page, true)},
               {"SHOP_NAME", account.shop_name},
               {"SHOP_DATE", account.shop_start},
               {"DSR_DESC", "4.8"},
               {"DSR_SERVICE", "4.9"},
               {"DSR_SPEED", "4.8"}});
  for (int p = 0; p < 4; ++p) {
    for (int r = 0; r < 3; ++r) {
      keys[std::string(kPeriods[p]) + "_" + kResults[r]] = std::to_string(c.by_period[p][r]);
    }
  }
  return keys;
}

// A cell of the seller's period table: the count linked to its reviews, a zero plain.
std::string seller_cell(const Account& account, int row, int column, int count) {
  static const char* const kTimeLines[] = {"-7", "-30", "-210", "-211"};
  static const char* const kResults[] = {"1", "0", "-1"};
  if (count == 0) return "0";
  return "<a href=\"http://{{RATING_HOST}}/user-rate-" + account.public_facts.user_id +
         ".htm?result=" + kResults[column - 1] + "&amp;timeLine=" + kTimeLines[row - 2] +
         "\" target=\"_blank\" data-spm=\"tbrate.2." + std::to_string(row) + "." +
         std::to_string(column) + "\">" + std::to_string(count) + "</a>";
}

std::string rating_page(const Account& account, const std::string& nick_url) {
  switch (account.kind) {
  case Kind::buyer:
    return fill("rate_buyer.html", rating_keys(account, nick_url, false));
  case Kind::seller: {
    Keys keys = rating_keys(account, nick_url, true);
    for (int row = 2; row <= 5; ++row) {
      for (int column = 1; column <= 3; ++column) {
        keys["CELL_" + std::to_string(row) + "_" + std::to_string(column)] =
            seller_cell(account, row, column, account.received.by_period[row - 2][column - 1]);
      }
    }
    return fill("rate_seller.html", keys);
  }
  default:
    return fill("rate_tmall.html", rating_keys(account, nick_url, true));
  }
}

// Page `page` (from 1) of the reviews with the result given by the account, 40 to a page.
std::string list_page(const Account& account, int result, int total, int page) {
  const int max_page = (total + 39) / 40;
  const int first = (page - 1) * 40;
  const int count = std::max(0, std::min(40, total - first));
  std::string items;
  for (int i = 0; i < count; ++i) {
    const auto index = static_cast<std::size_t>(first + i);
    const std::tm day = local_day(3 + (first + i) * 2);
    const std::string seller = pick(kTraders, index + 5);
    if (!items.empty()) items += ",\n";
    items +=
        fill("list_item.js",
             {{"RATE_ID", std::to_string(10547810233LL + 7717LL * static_cast<long long>(index))},
              {"ITEM_ID", std::to_string(12873301 + 60013 * index)},
              {"ITEM_TITLE", pick(kItemTitles, index + 7)},
              {"PIC_DIR", std::to_string(1 + index % 4)},
              {"ITEM_PRICE", pick(kPrices, index + 7)},
              {"ITEM_SKU", index % 3 == 0 ? "颜色分类:黑色;尺码:M" : ""},
              {"CONTENT", result == 0 ? pick(kNeutralWords, index) : pick(kBadWords, index)},
              {"DATE", format_day(day, "%Y.%m.%d")},
              {"RESULT", std::to_string(result)},
              {"REPLY", index % 4 == 1 ? "亲，给您带来不便非常抱歉，我们会改进的。" : ""},
              {"VALID_SCORE", "1"},
              {"SELLER", seller},
              {"SELLER_URL", encoded_name(seller)},
              {"SELLER_SCORE", std::to_string(pick(kTraderScores, index + 5))},
              {"SELLER_RANK", "s_" + std::string(pick(kTraderRanks, index + 5))},
              {"SELLER_ID", std::to_string(20000417 + 31 * index)}});
  }
  return fill("list.js", {{"MAX_PAGE", std::to_string(max_page)},
                          {"PAGE", std::to_string(page)},
                          {"ITEMS", items},
                          {"TOTAL", std::to_string(total)},
                          {"USER_ID", account.public_facts.user_id},
                          {"RESULT", std::to_string(result)}});
}

std::string error_page(std::string_view name, const std::string& title) {
  return fill(name, head_keys(title, "member", 3));
}

} // namespace

const std::vector<DemoAccount>& demo_accounts() {
  static const std::vector<DemoAccount> list = [] {
    std::vector<DemoAccount> out;
    for (const auto& account : accounts())
      out.push_back(account.public_facts);
    return out;
  }();
  return list;
}

const DemoAccount& demo_account(std::string_view label) {
  for (const auto& account : demo_accounts()) {
    if (account.label == label) return account;
  }
  std::fprintf(stderr, "zembrik_site: no demo account %.*s\n", static_cast<int>(label.size()),
               label.data());
  std::abort();
}

void SiteServer::load_maker_pages(std::string_view newest_version) {
  const auto page = [this](std::string_view title, const std::string& body) {
    const std::string utf8 = "<html><head><meta charset=\"gbk\"><title>" + std::string(title) +
                             "</title></head>\n<body>\n" + body + "</body></html>\n";
    return Response{200, "text/html; charset=gbk", gbk_page(utf8, *this)};
  };
  set(Role::image, "/", page("Holmvard 的博客", "<h1>Holmvard 的博客</h1>\n<p>演示站点。</p>\n"));
  set(Role::image, "/zembrik/update.html",
      page("Zembrik 更新",
           "<p>☆☆☆☆☆最新版本→" + std::string(newest_version) + "←最新版本☆☆☆☆☆</p>\n"));
  set(Role::image, "/zembrik/download.html",
      page("Zembrik 下载", "<p>最新版本的下载地址。</p>\n"));
}

void SiteServer::load_demo_accounts() {
  const auto html = [this](const std::string& utf8) {
    return Response{200, "text/html; charset=gbk", gbk_page(utf8, *this)};
  };
  for (const auto& account : accounts()) {
    const auto& facts = account.public_facts;
    const std::string target = member_target(facts.name);
    const std::string nick_url = encoded_name(facts.name);
    switch (account.kind) {
    case Kind::unknown:
      continue;
    case Kind::stocktaking:
      set(Role::member, target, html(error_page("member_stocktaking.html", "淘宝网 - 提示信息")));
      continue;
    case Kind::banned:
      set(Role::member, target, html(error_page("member_banned.html", "淘寶網 - 提示信息")));
      continue;
    default:
      break;
    }
    set(Role::member, target, html(member_page(account, nick_url)));
    set(Role::rating, "/user-rate-" + facts.user_id + ".htm", html(rating_page(account, nick_url)));
    if (account.kind == Kind::tmall) continue;
    for (const auto& [result, total] :
         {std::pair{0, account.given_neutral}, {-1, account.given_bad}}) {
      const std::string list = "/member_rate.htm?content=&result=" + std::to_string(result) +
                               "&user_id=" + facts.user_id + "&rater=3&direction=1";
      set(Role::rating, list, html(list_page(account, result, total, 1)));
      for (int page = 1; page <= (total + 39) / 40 + 1; ++page) {
        set(Role::rating, list + "&page=" + std::to_string(page),
            html(list_page(account, result, total, page)));
      }
    }
  }
  for (const auto& file : embedded_files()) {
    if (!file.name.starts_with("rank_icons/")) continue;
    set(Role::image, "/newrank/" + std::string(file.name.substr(11)),
        Response{200, "image/gif", std::string(file.bytes)});
  }
}

} // namespace zembrik::site
