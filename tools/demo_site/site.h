#pragma once
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

// A stand-in for the Taobao site on loopback: three HTTP servers on 127.0.0.1 playing the member
// host, the rating host and the image host. Routes are exact raw request targets; everything
// else is answered 404 with an empty body. Bodies are sent exactly as set (never compressed).
// Every request is logged, matched or not.
//
// The zembrik-demo-site program serves the demo accounts with it until it receives SIGTERM or
// SIGINT; it does not read standard input (see demo_site_main.cc).

namespace zembrik::site {

enum class Role { member, rating, image };

struct Response {
  int status = 200;
  std::string content_type = "text/html; charset=gbk";
  std::string body; // raw bytes, sent unchanged
};

struct Request {
  Role role;
  std::string method;
  // Path and query exactly as on the request line, percent escapes undecoded.
  std::string target;
  // Header lines in the order received; the value is what follows the colon with the
  // surrounding blanks and tabs of HTTP removed.
  std::vector<std::pair<std::string, std::string>> headers;
  // The request line and header lines exactly as received, each ending in CR LF, without the
  // blank line that ends the head.
  std::string raw_head;
};

class SiteServer {
public:
  // Binds the three servers to 127.0.0.1 (0 picks a free port) and starts serving; they accept
  // connections as soon as the constructor returns. Throws std::runtime_error when a port
  // cannot be bound.
  explicit SiteServer(int member_port = 0, int rating_port = 0, int image_port = 0);
  // Stops the servers and joins every thread, including those of open keep-alive connections.
  ~SiteServer();
  SiteServer(const SiteServer&) = delete;
  SiteServer& operator=(const SiteServer&) = delete;

  // "127.0.0.1:PORT"
  [[nodiscard]] std::string member_host() const;
  [[nodiscard]] std::string rating_host() const;
  [[nodiscard]] std::string image_host() const;
  [[nodiscard]] std::string host(Role role) const;

  // Serves `response` for requests of any method whose raw target is exactly `target`, e.g.
  // "/member/user_profile.jhtml?user_id=%D6%D0". Replaces an earlier route of the same target.
  void set(Role role, std::string target, Response response);
  // Removes every route; the request log is kept.
  void clear();

  [[nodiscard]] std::vector<Request> requests() const;
  void clear_requests();

  // Routes the demo accounts of demo_accounts() with pages naming this server's own hosts, and
  // the rank icons on the image host. Dates relative to today are computed at the call.
  void load_demo_accounts();
  // The maker's pages on the image host: the maker page "/", the update page
  // "/zembrik/update.html" naming `newest_version` (UTF-8) between its markers, and the download
  // page "/zembrik/download.html".
  void load_maker_pages(std::string_view newest_version);

private:
  class Listener;
  struct Routes;
  std::shared_ptr<Routes> routes_;
  std::unique_ptr<Listener> listeners_[3];
  int ports_[3] = {};
  std::thread threads_[3];
};

// A GBK page made from a UTF-8 template: {{MEMBER_HOST}}, {{RATING_HOST}}, {{IMAGE_HOST}} and the
// keys of `extra` (which win over the three hosts) replaced by their values, which are UTF-8 too
// and not themselves searched for keys; an unknown {{KEY}} left as it stands; the whole converted
// to GBK with code page 936, and every line feed not already preceded by CR made CR LF, as on the
// real site.
std::string gbk_page(std::string_view utf8_template, const SiteServer& hosts,
                     const std::map<std::string, std::string>& extra = {});

// The GBK name percent-encoded as the member-page address carries it: the bytes * , - . / 0-9
// @ A-Z _ a-z kept, every other byte written %XX with capital hex digits.
std::string url_encode_gbk(std::string_view gbk_name);
// "/member/user_profile.jhtml?user_id=" followed by the encoded GBK form of the UTF-8 name.
std::string member_target(std::string_view utf8_name);

// The accounts load_demo_accounts() serves (label, nickname, what the query shows):
//   safe_buyer   快乐的小鱼      buyer registered 2009年8月16日; 2 neutral and 1 negative reviews
//                                given, 1 and 3 reviews received last week and month: no rule
//                                holds
//   risky_buyer  tb新手_2012     buyer registered 10 days before today; 53 neutral (two list
//                                pages, 13 on the last) and 3 negative reviews given, 5+1+1
//                                received last week; member-page certification 手机验证
//   seller       杭州小铺子      seller, shop open since 2010-05-03, credit 1237 (s_blue_3); its
//                                last-period neutral cell is 0 without a link, good and negative
//                                are linked
//   tmall        云裳服饰旗舰店  Tmall shop
//   unknown      查无此人        no member page: 404 with an empty body
//   stocktaking  盘点中的店铺    member page with the stock-taking notice (class error-info)
//   banned       违规账号007     member page with the ban notice in traditional characters
struct DemoAccount {
  std::string label;   // as above, ASCII
  std::string name;    // UTF-8; GBK on the wire
  std::string user_id; // digits of the rating page's userID, also in its address; may be empty
};
const std::vector<DemoAccount>& demo_accounts();
// The account with the label; aborts on an unknown label (a test's own mistake).
const DemoAccount& demo_account(std::string_view label);

} // namespace zembrik::site
