#include "tests/support/fakes.h"

#include "app/config.h"
#include "app/controls.h"
#include "app/state.h"

namespace zembrik::testing_support {

std::string describe(const automation::Value& value) {
  if (const auto* text = value.text()) return utf16_to_utf8(*text);
  if (const auto* bytes = value.bytes()) return "<" + std::to_string(bytes->size()) + " bytes>";
  if (const auto* b = std::get_if<bool>(&value.data)) return *b ? "true" : "false";
  if (const auto* i = std::get_if<std::int64_t>(&value.data)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&value.data)) return std::to_string(*d);
  if (value.object()) return "<object>";
  return "<empty>";
}

namespace {

class FakeRequest : public automation::Object {
public:
  explicit FakeRequest(std::shared_ptr<FakeWeb> web) : web_(std::move(web)) {
    web_->request_calls.emplace_back();
    index_ = web_->request_calls.size() - 1;
  }

  std::optional<automation::Value> invoke(std::string_view member, automation::Call kind,
                                          std::span<const automation::Value> args) override {
    CallRecord record{std::string(member), kind, {}};
    for (const auto& a : args) record.args.push_back(describe(a));
    web_->request_calls[index_].push_back(record);
    if (member == "Open" && !args.empty() && args.size() >= 2) {
      address_ = describe(args[1]);
      return automation::Value();
    }
    if (member == "Send") {
      web_->requested.push_back(address_);
      const auto it = web_->pages.find(address_);
      if (it == web_->pages.end()) return std::nullopt;
      body_ = Bytes(it->second.begin(), it->second.end());
      sent_ = true;
      return automation::Value();
    }
    if (member == "ResponseBody") {
      if (!sent_) return std::nullopt;
      return automation::Value(body_);
    }
    return automation::Value();
  }

private:
  std::shared_ptr<FakeWeb> web_;
  std::size_t index_ = 0;
  std::string address_;
  Bytes body_;
  bool sent_ = false;
};

} // namespace

automation::ObjectRef make_fake_request(std::shared_ptr<FakeWeb> web) {
  return std::make_shared<FakeRequest>(std::move(web));
}

Bytes FakeDownloader::download_resource(const Text& address) {
  downloaded.push_back(to_utf8(address));
  const auto it = web_->pages.find(downloaded.back());
  if (it == web_->pages.end()) return {};
  return Bytes(it->second.begin(), it->second.end());
}

CoreHarness::CoreHarness() {
  config::set_taobao_hosts("member.test", "rate.test", "img.test");
  registry.add("VBScript.RegExp", &native::make_regexp);
  registry.add("WinHttp.WinHttpRequest.5.1", [w = web] { return make_fake_request(w); });
  platform_bundle.code_page = &native::code_page_936();
  platform_bundle.automation = &registry;
  platform_bundle.downloader = &downloader;
  platform_bundle.desktop = &desktop;
  platform_bundle.clock = &clock;
  install_platform(platform_bundle);
  create_module_state();
  window = std::make_unique<headless::HeadlessWindow>();
  platform_bundle.window = window.get();
  install_platform(platform_bundle);
}

CoreHarness::~CoreHarness() {
  exit_clean_up();
  desktop.join_threads();
  Platform base;
  base.code_page = &native::code_page_936();
  install_platform(base);
}

void CoreHarness::serve(const std::string& address, const std::string& body) {
  web->pages[address] = body;
}

void CoreHarness::query(const std::string& account_utf8) { window->query_account(gbk(account_utf8)); }

std::string CoreHarness::text(ControlName control) const {
  return to_utf8(window->read_text(control));
}

std::uint32_t CoreHarness::colour(ControlName control) const {
  const auto* c = window->control(control);
  return c && c->colour ? *c->colour : 0xFFFFFFFFu;
}

Bytes CoreHarness::picture(ControlName control) const { return window->read_picture(control); }

std::string gbk_bytes(const std::string& utf8) { return gbk(utf8).bytes; }

} // namespace zembrik::testing_support
