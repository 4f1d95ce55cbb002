// A whole query with an account name and member, rating, list and icon bodies chosen by the
// fuzzer, served in process by a fake request component (no sockets). The query must always
// finish with the account box enabled again and ask only for the addresses it may build.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/controls.h"
#include "app/state.h"
#include "fuzz/fuzz_support.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/headless_window.h"
#include "web/web.h"

namespace {

using zembrik::Text;
using zembrik::fuzz::require;
namespace automation = zembrik::automation;

// Fields of one input: account, member page, rating page, the first and last list pages of the
// neutral and of the negative reviews, the icon.
enum Field {
  account,
  member,
  rating,
  neutral_first,
  neutral_last,
  bad_first,
  bad_last,
  icon,
  count
};

struct Served {
  std::vector<std::string> fields;
  std::vector<std::string> requested;
};

const std::string* body_for(const Served& s, const std::string& address) {
  if (address.starts_with("http://member.test/member/user_profile.jhtml?user_id="))
    return &s.fields[member];
  if (address.starts_with("http://rate.test/member_rate.htm?")) {
    const bool bad = address.find("result=-1") != std::string::npos;
    const bool last = address.find("&page=") != std::string::npos;
    return &s.fields[bad ? (last ? bad_last : bad_first) : (last ? neutral_last : neutral_first)];
  }
  if (address.starts_with("http://rate.test/user-rate-")) return &s.fields[rating];
  return nullptr;
}

// "WinHttp.WinHttpRequest.5.1" answering from the fields; an unknown address fails Send.
class Request : public automation::Object {
public:
  explicit Request(std::shared_ptr<Served> served) : served_(std::move(served)) {}
  std::optional<automation::Value> invoke(std::string_view member_name, automation::Call,
                                          std::span<const automation::Value> args) override {
    if (member_name == "Open" && args.size() >= 2 && args[1].text()) {
      address_ = zembrik::utf16_to_utf8(*args[1].text());
    } else if (member_name == "Send") {
      served_->requested.push_back(address_);
      body_ = body_for(*served_, address_);
      if (!body_) return std::nullopt;
    } else if (member_name == "ResponseBody") {
      if (!body_) return std::nullopt;
      return automation::Value(zembrik::Bytes(body_->begin(), body_->end()));
    }
    return automation::Value();
  }

private:
  std::shared_ptr<Served> served_;
  std::string address_;
  const std::string* body_ = nullptr;
};

class IconDownloader : public zembrik::Downloader {
public:
  explicit IconDownloader(std::shared_ptr<Served> served) : served_(std::move(served)) {}
  zembrik::Bytes download_resource(const Text& address) override {
    const std::string where = zembrik::to_utf8(address);
    require(where.starts_with("http://img.test/newrank/"), "icons come from the image host");
    served_->requested.push_back(where);
    const std::string& body = served_->fields[icon];
    return zembrik::Bytes(body.begin(), body.end());
  }

private:
  std::shared_ptr<Served> served_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto served = std::make_shared<Served>();
  served->fields = zembrik::fuzz::split_fields(data, size, count);
  zembrik::config::set_taobao_hosts("member.test", "rate.test", "img.test");

  zembrik::posix::Registry registry;
  registry.add("VBScript.RegExp", &zembrik::posix::make_regexp);
  registry.add("WinHttp.WinHttpRequest.5.1",
               [served] { return std::make_shared<Request>(served); });
  IconDownloader downloader(served);
  zembrik::headless::FakeDesktop desktop;
  zembrik::headless::FakeClock clock({2026, 12, 11, 12, 0, 0});
  zembrik::Platform p;
  p.code_page = &zembrik::posix::code_page_936();
  p.automation = &registry;
  p.downloader = &downloader;
  p.desktop = &desktop;
  p.clock = &clock;
  zembrik::install_platform(p);
  zembrik::create_module_state();
  {
    zembrik::headless::HeadlessWindow window;
    p.window = &window;
    zembrik::install_platform(p);

    const Text name(served->fields[account]);
    window.query_account(name);

    const auto* box = window.control(zembrik::controls::编辑框用户名);
    require(box && !box->disabled, "the account box is enabled again");
    require(!served->requested.empty(), "the member page is asked for");
    const Text trimmed = zembrik::trim(name);
    require(served->requested.front() == "http://member.test/member/user_profile.jhtml?user_id=" +
                                             zembrik::url_encode_account(trimmed).bytes,
            "the member address carries the encoded name");
    require(served->requested.size() <= 7, "at most seven requests a query");
    require(registry.thread_depth() == 0, "COM initialisations are paired");
    zembrik::exit_clean_up();
  }
  zembrik::fuzz::install_code_page_only();
  return 0;
}
