// Whole queries on fakes: the pages come from a pretend web, the window is headless.
#include <gtest/gtest.h>

#include <optional>

#include "app/controls.h"
#include "app/state.h"
#include "app/window_description.h"
#include "query/query.h"
#include "resources.h"
#include "tests/support/fakes.h"

namespace zembrik {
namespace {

using namespace controls;
using testing_support::CoreHarness;
using testing_support::gbk_bytes;

const std::string kMember = "http://member.test/member/user_profile.jhtml?user_id=";
const std::string kRating = "http://rate.test/user-rate-123.htm";
std::string list_address(int code, const std::string& id = "123") {
  return "http://rate.test/member_rate.htm?content=&result=" + std::to_string(code) +
         "&user_id=" + id + "&rater=3&direction=1";
}

struct MemberPage {
  std::string certification = "支付宝个人认证";
  std::string date = "2010年5月3日";
  std::string notice;
};

std::string member_page(const MemberPage& m) {
  return gbk_bytes("<html><head><title>会员</title></head><body>\r\n"
                   "<!--认证标志-->\r\n  <img alt=\"" + m.certification + "\" title=\"" +
                   m.certification + "\" />\r\n<!--商城及地域的标志-->\r\n"
                   "<dt>注册时间：</dt>\r\n<dd>" + m.date + "</dd>\r\n" + m.notice +
                   "\r\n<a href=\"http://rate.test/user-rate-123.htm\" target=\"_blank\">信用评价</a>"
                   "\r\n</body></html>");
}

struct BuyerPage {
  std::optional<std::string> rate = "98.87";
  std::optional<std::string> icon = "red_3";
  int periods = 12;
  std::string extra;
};

std::string buyer_page(const BuyerPage& b) {
  std::string s = "<script>var config = { userID: '123' };</script>\r\n"
                  "<!--认证标志-->\r\n <span>支付宝实名认证</span>\r\n<!--商城及地域的标志-->\r\n"
                  "<h4>个人信息</h4><dt>所在地区：</dt>\r\n<dd>  浙江杭州  </dd>\r\n";
  if (b.rate) s += "<em>好评率：" + *b.rate + "%</em>\r\n";
  s += "买家信用：\r\n    <a id=\"J_BuyerRate\" href=\"javascript:void(0)\">35</a>";
  if (b.icon) s += "<img src=\"http://img.test/newrank/b_" + *b.icon + ".gif\" class=\"rank\" />";
  s += "\r\n<table>\r\n";
  for (int k = 1; k <= b.periods; ++k) {
    s += "<td><a href=\"#\">" + std::to_string(k) + "</a></td>\r\n";
  }
  s += "</table>\r\n" + b.extra;
  return gbk_bytes(s);
}

struct SellerPage {
  bool tmall = false;
  bool tmall_in_capitals = false;
  bool shop_date = true;
  bool good_cell_linked = true;
  bool neutral_cell_linked = true;
};

std::string seller_page(const SellerPage& p) {
  const std::string sp40(40, ' ');
  const std::string sp108(108, ' ');
  const std::string cell_end = "</a>\r\n" + sp108 + "</td>\r\n";
  std::string s = "<script>userID: '456'</script>\r\n<div class=\"hd\">卖家信息</div>\r\n";
  if (p.tmall) s += "<div class=\"tmall-pro\"></div>\r\n";
  if (p.tmall_in_capitals) s += "<div class=\"TMALL-PRO\"></div>\r\n";
  s += "<!--认证标志--><b>网店经营者营业执照信息</b><!--商城及地域的标志-->\r\n"
       "<li>所在地区：\r\n   上海  </li>\r\n";
  if (p.shop_date) {
    s += "<input type=\"hidden\" name=\"shopStartDate\" id=\"J_showShopStartDate\" "
         "value=\"2011-06-07\" />\r\n";
  }
  s += "<em>好评率：99.5%</em>\r\n卖家信用：\r\n  1234\r\n"
       "<img src=\"http://img.test/newrank/s_blue_2.gif\" />\r\n"
       "<ul><li rel=\"[[1,{'rater':'0', 'direction':'0', 'result':'1','timeLine':'-7'}],[2,"
       "{'rater':'0','direction':'0','result':'0','timeLine':'-7'}],[3,"
       "{'rater':'0','direction':'0','result':'-1','timeLine':'-7'}]]\">最近一周</li>\r\n"
       "<li class=\"current\"  rel=\"[[4,{'rater':'0','direction':'0','result':'1','timeLine':'-30'}],[5,"
       "{'rater':'0','direction':'0','result':'0','timeLine':'-30'}],[6,"
       "{'rater':'0','direction':'0','result':'-1','timeLine':'-30'}]]\">最近一月</li>\r\n" +
       sp40 +
       "<li rel=\"[[7,{'rater':'0','direction':'0','result':'1','timeLine':'-210'}],[8,"
       "{'rater':'0','direction':'0','result':'0','timeLine':'-210'}],[9,"
       "{'rater':'0','direction':'0','result':'-1','timeLine':'-210'}]]\" >最近半年</li></ul>\r\n"
       "<tr>\r\n<td>";
  s += p.good_cell_linked ? "<a data-spm=\"tbrate.2.5.1\">10" + cell_end : "10</td>\r\n";
  s += std::string(52, ' ') + "<td class=\"ratenormal\">";
  s += p.neutral_cell_linked ? "<a data-spm=\"tbrate.2.5.2\">11" + cell_end : "11</td>\r\n";
  s += std::string(52, ' ') + "<td class=\"ratebad\"><a data-spm=\"tbrate.2.5.3\">12" + cell_end +
       std::string(48, ' ') + "</tr>\r\n";
  return gbk_bytes(s);
}

std::string list_page(int max_page, int entries) {
  std::string s = "shop_rate_list({\"maxPage\":" + std::to_string(max_page) +
                  ",\"currentPageNum\":1,\"rateListDetail\":[";
  for (int i = 0; i < entries; ++i) s += "{\"auction\":{\"aucNumId\":\"" + std::to_string(i) + "\"}},";
  return s + "]})";
}

// A harness serving a normal buyer: member page, rating page, icon and empty review lists.
struct BuyerQuery : CoreHarness {
  explicit BuyerQuery(const BuyerPage& page = {}) {
    serve(kMember + "buyer", member_page({}));
    serve(kRating, buyer_page(page));
    serve("http://img.test/newrank/b_red_3.gif", "GIF89a-icon");
    serve(list_address(0), list_page(0, 0));
    serve(list_address(-1), list_page(0, 0));
  }
};

TEST(RunQuery, FillsEveryFieldOfABuyer) {
  BuyerQuery h;
  h.query("buyer");
  EXPECT_EQ(h.text(编辑框账号), "淘宝买家");
  EXPECT_EQ(h.colour(编辑框账号), kRed);
  EXPECT_EQ(h.text(编辑框id), "123");
  EXPECT_EQ(h.text(编辑框日期), "2010年5月3日");
  EXPECT_EQ(h.text(编辑框认证), "支付宝实名认证");
  EXPECT_EQ(h.text(编辑框地区), "浙江杭州");
  EXPECT_EQ(h.text(编辑框信用), "35");
  EXPECT_EQ(h.text(编辑框好评率), "98.87%");
  EXPECT_EQ(h.text(编辑框一周好), "1");
  EXPECT_EQ(h.text(编辑框半年中), "8");
  EXPECT_EQ(h.text(编辑框年前差), "12");
  EXPECT_EQ(h.text(编辑框中评), "0");
  EXPECT_EQ(h.text(编辑框差评), "0");
  EXPECT_EQ(h.text(标签买家), "买家信用：");
  EXPECT_EQ(h.text(标签注册时间), "注册时间：");
  EXPECT_EQ(h.text(分组框查询), "查询完毕");
  EXPECT_EQ(h.colour(分组框查询), kMagenta);
  EXPECT_EQ(h.text(分组框账号信息), "账号信息");
  EXPECT_EQ(account_kind, AccountKind::Buyer);
  const Bytes icon = h.picture(图片框信用);
  EXPECT_EQ(std::string(icon.begin(), icon.end()), "GIF89a-icon");
  EXPECT_FALSE(h.window->control(编辑框用户名)->disabled);
  // Week 1+2+3 = 6 > 5 holds a rule; month 4+5+6 does not.
  EXPECT_EQ(h.picture(图片框安全), resources::picture_danger());
  EXPECT_EQ(h.text(编辑框安全), "↑单击上图可查看详细信息↑\r\n\r\n●最近一周内交易超过5笔●\r\n");

  const std::vector<std::string> expected_requests = {kMember + "buyer", kRating, list_address(0),
                                                      list_address(-1)};
  EXPECT_EQ(h.web->requested, expected_requests);
  EXPECT_EQ(h.downloader.downloaded, std::vector<std::string>{"http://img.test/newrank/b_red_3.gif"});
}

TEST(RunQuery, ShowsProgressAtEachProcessingPoint) {
  BuyerQuery h;
  h.serve(list_address(0), list_page(1, 3));
  std::vector<std::string> captions;
  h.window->on_pending_events = [&] { captions.push_back(h.text(分组框查询)); };
  h.query("buyer");
  const std::vector<std::string> expected = {"正在查询·", "正在查询··", "正在查询···",
                                             "正在查询···", "正在查询····"};
  EXPECT_EQ(captions, expected);
}

TEST(RunQuery, ReportsTheThreeMemberPageFailures) {
  struct Case {
    const char* label;
    std::optional<std::string> body; // nullopt: the page cannot be fetched
    const char* message;
  };
  const std::string stock = "<div class=\"error-info\">很抱歉！淘宝正在对该店铺盘点，请稍后再试！</div>";
  const std::string ban = "<p>通告：該用戶已經被查封！</p>";
  const Case cases[] = {
      {"unreachable", std::nullopt, "获取店铺信息失败！"},
      {"empty body", std::string(), "获取店铺信息失败！"},
      {"only a NUL first", std::string("\0abc", 4), "获取店铺信息失败！"},
      {"stock-taking", gbk_bytes(stock), "该用户不存在或淘宝正在对该店铺盘点！"},
      {"banned", gbk_bytes(ban), "该账号已被查封！"},
      {"both notices", gbk_bytes(ban + stock), "该用户不存在或淘宝正在对该店铺盘点！"},
  };
  for (const auto& c : cases) {
    CoreHarness h;
    if (c.body) h.serve(kMember + "x", *c.body);
    h.query("x");
    EXPECT_EQ(h.text(分组框账号信息), c.message) << c.label;
    EXPECT_EQ(h.colour(分组框账号信息), kMagenta) << c.label;
    EXPECT_EQ(h.text(分组框查询), "查询") << c.label;
    EXPECT_EQ(h.colour(分组框查询), kBlack) << c.label;
    EXPECT_EQ(h.web->requested.size(), 1u) << c.label;
    EXPECT_TRUE(h.downloader.downloaded.empty()) << c.label;
    EXPECT_EQ(h.picture(图片框安全), resources::picture_pending()) << c.label;
    EXPECT_EQ(h.text(编辑框安全), "") << c.label;
    EXPECT_FALSE(h.window->control(编辑框用户名)->disabled) << c.label;
  }
}

TEST(RunQuery, BanNoticeCountsOnlyInTraditionalCharacters) {
  CoreHarness h;
  h.serve(kMember + "x", gbk_bytes("<p>通告：该用户已经被查封！</p>"));
  h.query("x");
  EXPECT_EQ(h.text(分组框账号信息), "账号信息");
  EXPECT_EQ(h.text(分组框查询), "查询完毕");
}

TEST(RunQuery, TrimsTheAccountNameBeforeEncodingIt) {
  CoreHarness h;
  h.query("  ab 中　");
  EXPECT_EQ(h.text(编辑框用户名), "ab 中");
  ASSERT_FALSE(h.web->requested.empty());
  EXPECT_EQ(h.web->requested[0], kMember + "ab%20%D6%D0");

  CoreHarness empty;
  empty.query("");
  EXPECT_EQ(empty.web->requested, std::vector<std::string>{kMember});
}

TEST(RunQuery, DecidesTheKindOnTheRatingPage) {
  struct Case {
    std::string rating;
    AccountKind kind;
    const char* kind_text;
  };
  const Case cases[] = {
      {gbk_bytes("<div class=\"tmall-pro\"></div>"), AccountKind::Buyer, "淘宝买家"},
      {seller_page({.tmall_in_capitals = true}), AccountKind::Seller, "淘宝卖家"},
      {seller_page({.tmall = true}), AccountKind::Tmall, "淘宝天猫"},
  };
  for (const auto& c : cases) {
    CoreHarness h;
    h.serve(kMember + "x", member_page({}));
    h.serve(kRating, c.rating);
    h.query("x");
    EXPECT_EQ(account_kind, c.kind) << c.kind_text;
    EXPECT_EQ(h.text(编辑框账号), c.kind_text);
    EXPECT_EQ(h.colour(编辑框账号), c.kind == AccountKind::Buyer ? kRed : kBlue);
  }
}

TEST(RunQuery, ReadsASellerFromItsTabMarkers) {
  struct Case {
    SellerPage page;
    const char* last_good;
    const char* last_neutral;
  };
  const Case cases[] = {{{}, "10", "11"},
                        {{.good_cell_linked = false}, "0", "11"},
                        {{.neutral_cell_linked = false}, "10", "0"}};
  for (const auto& c : cases) {
    CoreHarness h;
    h.serve(kMember + "s", member_page({}));
    h.serve(kRating, seller_page(c.page));
    h.query("s");
    EXPECT_EQ(h.text(编辑框一周好), "1");
    EXPECT_EQ(h.text(编辑框一周中), "2");
    EXPECT_EQ(h.text(编辑框一周差), "3");
    EXPECT_EQ(h.text(编辑框一月好), "4");
    EXPECT_EQ(h.text(编辑框一月差), "6");
    EXPECT_EQ(h.text(编辑框半年好), "7");
    EXPECT_EQ(h.text(编辑框半年差), "9");
    EXPECT_EQ(h.text(编辑框年前好), c.last_good);
    EXPECT_EQ(h.text(编辑框年前中), c.last_neutral);
    EXPECT_EQ(h.text(编辑框年前差), "12");
    EXPECT_EQ(h.text(编辑框id), "456");
    EXPECT_EQ(h.text(编辑框日期), "2011-06-07");
    EXPECT_EQ(h.text(编辑框地区), "上海");
    EXPECT_EQ(h.text(编辑框认证), "网店经营者营业执照信息");
    EXPECT_EQ(h.text(编辑框信用), "1234");
    EXPECT_EQ(h.text(标签买家), "卖家信用：");
    EXPECT_EQ(h.text(标签评价), "卖家评价");
    EXPECT_EQ(h.text(标签注册时间), "创店时间：");
    EXPECT_EQ(h.downloader.downloaded,
              std::vector<std::string>{"http://img.test/newrank/s_blue_2.gif"});
    // A seller is never judged by the rules, however large its figures.
    EXPECT_EQ(h.picture(图片框安全), resources::picture_unknown());
    EXPECT_EQ(h.text(编辑框安全), "↑单击上图可查看详细信息↑\r\n\r\n");
  }
}

TEST(RunQuery, SellerWithoutShopDateHasAnEmptyDate) {
  CoreHarness h;
  h.serve(kMember + "s", member_page({}));
  h.serve(kRating, seller_page({.shop_date = false}));
  h.query("s");
  EXPECT_EQ(h.text(编辑框日期), "");
}

TEST(RunQuery, TmallSkipsTheStatisticsAndKeepsThePreviousIcon) {
  BuyerQuery h;
  h.query("buyer");
  const Bytes icon = h.picture(图片框信用);
  ASSERT_FALSE(icon.empty());
  h.serve(kMember + "tmall", member_page({}));
  h.web->pages[kRating] = seller_page({.tmall = true});
  h.web->requested.clear();
  h.query("tmall");
  EXPECT_EQ(h.text(分组框查询), "查询完毕");
  EXPECT_EQ(h.text(分组框信用及评价信息), "天猫（卖家信用明细无法查询）");
  EXPECT_EQ(h.colour(分组框信用及评价信息), kRed);
  EXPECT_EQ(h.text(编辑框信用), "");
  EXPECT_EQ(h.text(编辑框一周好), "");
  EXPECT_EQ(h.text(编辑框中评), "");
  EXPECT_EQ(h.picture(图片框信用), icon);
  EXPECT_EQ(h.web->requested.size(), 2u);
  EXPECT_EQ(h.picture(图片框安全), resources::picture_unknown());
  // The next buyer query resets the red caption.
  h.web->pages[kRating] = buyer_page({});
  h.query("buyer");
  EXPECT_EQ(h.text(分组框信用及评价信息), "信用及评价信息");
  EXPECT_EQ(h.colour(分组框信用及评价信息), kBlack);
}

TEST(RunQuery, PhoneVerificationOnTheMemberPageWins) {
  CoreHarness h;
  h.serve(kMember + "x", member_page({.certification = "手机验证"}));
  h.serve(kRating, buyer_page({}));
  h.query("x");
  EXPECT_EQ(h.text(编辑框认证), "手机验证");
}

TEST(RunQuery, AnUnreachableRatingPageLeavesABuyerWithEmptyFigures) {
  CoreHarness h;
  h.serve(kMember + "x", member_page({.certification = "手机验证", .date = "2001年2月3日"}));
  h.query("x");
  EXPECT_EQ(account_kind, AccountKind::Buyer);
  EXPECT_EQ(h.text(编辑框日期), "2001年2月3日");
  EXPECT_EQ(h.text(编辑框认证), "手机验证");
  EXPECT_EQ(h.text(编辑框id), "");
  EXPECT_EQ(h.text(编辑框好评率), "%");
  EXPECT_EQ(h.picture(图片框安全), resources::picture_safe());
  // Both list requests still go out, with an empty user id.
  const std::vector<std::string> expected = {kMember + "x", kRating, list_address(0, ""),
                                             list_address(-1, "")};
  EXPECT_EQ(h.web->requested, expected);
  EXPECT_EQ(h.downloader.downloaded, std::vector<std::string>{"http://img.test/newrank/b_.gif"});
}

TEST(RunQuery, MissingFiguresOnABuyerPage) {
  BuyerQuery h({.rate = std::nullopt, .icon = std::nullopt, .periods = 5});
  h.query("buyer");
  EXPECT_EQ(h.text(编辑框好评率), "%");
  EXPECT_EQ(h.downloader.downloaded, std::vector<std::string>{"http://img.test/newrank/b_.gif"});
  EXPECT_EQ(h.text(编辑框一月中), "5");
  EXPECT_EQ(h.text(编辑框一月差), "");
  EXPECT_EQ(h.text(编辑框年前差), "");
  EXPECT_TRUE(h.picture(图片框信用).empty());
}

TEST(CountGivenReviews, AddsFullPagesToTheLastPage) {
  struct Case {
    const char* label;
    std::optional<std::string> first; // nullopt: cannot be fetched
    int last_page = 0;                // N of the last page served, when one is
    std::optional<std::string> last;
    std::string expected;
    std::size_t requests;
  };
  const Case cases[] = {
      {"one page", list_page(1, 7), 0, std::nullopt, "7", 1},
      {"five pages", list_page(5, 0), 5, list_page(5, 39), "199", 2},
      {"six pages, none on the last", list_page(6, 0), 6, list_page(6, 0), "≥200", 2},
      {"no maxPage", std::string("shop_rate_list({\"rateListDetail\":[]})"), 0, std::nullopt, "0", 1},
      {"first page unreachable", std::nullopt, 0, std::nullopt, "0", 1},
      {"last page unreachable", list_page(3, 40), 0, std::nullopt, "80", 2},
      {"maxPage beyond 32 bits", std::string("{\"maxPage\":99999999999}"), 0, std::nullopt, "≥200", 2},
  };
  for (const auto& c : cases) {
    BuyerQuery h;
    h.web->pages.erase(list_address(0));
    if (c.first) h.serve(list_address(0), *c.first);
    if (c.last) h.serve(list_address(0) + "&page=" + std::to_string(c.last_page), *c.last);
    h.query("buyer");
    EXPECT_EQ(h.text(编辑框中评), c.expected) << c.label;
    std::size_t neutral_requests = 0;
    for (const auto& r : h.web->requested) {
      if (r.find("result=0&") != std::string::npos) ++neutral_requests;
    }
    EXPECT_EQ(neutral_requests, c.requests) << c.label;
  }
}

TEST(CountGivenReviews, SaturatedPageNumberIsAskedFor) {
  BuyerQuery h;
  h.serve(list_address(0), "{\"maxPage\":99999999999}");
  h.query("buyer");
  EXPECT_EQ(h.web->requested[3], list_address(0) + "&page=2147483647");
}

TEST(RunQuery, RestoresBlackOnlyOnTheJudgedBoxes) {
  BuyerQuery h;
  h.query("buyer");
  ASSERT_EQ(h.colour(编辑框一周好), kRed);
  h.window->set_text_colour(编辑框信用, kRed);
  h.query("buyer");
  // The week rule holds again; a box outside the nine keeps whatever colour it had.
  EXPECT_EQ(h.colour(编辑框一周好), kRed);
  EXPECT_EQ(h.colour(编辑框信用), kRed);
  h.web->pages[kRating] = buyer_page({.periods = 0});
  h.query("buyer");
  EXPECT_EQ(h.colour(编辑框一周好), kBlack);
  EXPECT_EQ(h.picture(图片框安全), resources::picture_safe());
}

} // namespace
} // namespace zembrik

namespace zembrik {
namespace {

TEST(RunQuery, AWindowClosedDuringAQueryGetsNoFurtherRequest) {
  // Closed at the k-th processing point: the requests made before it, and none after.
  const std::vector<std::vector<std::string>> made_before = {
      {},
      {kMember + "buyer"},
      {kMember + "buyer", kRating},
      {kMember + "buyer", kRating, list_address(0)},
      {kMember + "buyer", kRating, list_address(0)},
  };
  for (std::size_t k = 0; k < made_before.size(); ++k) {
    BuyerQuery h;
    h.serve(list_address(0), list_page(1, 3));
    std::size_t points = 0;
    h.window->on_pending_events = [&] {
      if (points++ == k) h.window->close();
    };
    h.query("buyer");
    EXPECT_EQ(h.web->requested, made_before[k]) << k;
    EXPECT_EQ(h.downloader.downloaded.size(), k >= 2 ? 1u : 0u) << k;
  }
}

} // namespace
} // namespace zembrik
