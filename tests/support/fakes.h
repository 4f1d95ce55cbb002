#pragma once
// Fakes of the automation components and the download service, for unit tests of the core.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation.h"
#include "platform/desktop.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/headless_window.h"
#include "platform/platform.h"
#include "platform/native.h"

namespace zembrik::testing_support {

// One call on a fake component: member, kind and arguments as UTF-8 texts (numbers and bools
// printed, bytes as "<N bytes>").
struct CallRecord {
  std::string member;
  automation::Call kind;
  std::vector<std::string> args;
};

std::string describe(const automation::Value& value);

// A pretend web: bodies by address (UTF-8, as given to Open). Every Send is logged.
struct FakeWeb {
  std::map<std::string, std::string> pages;
  std::vector<std::string> requested;                 // addresses, in order
  std::vector<std::vector<CallRecord>> request_calls; // the calls made on each request object
};

// A "WinHttp.WinHttpRequest.5.1" that answers from a FakeWeb; an unknown address fails Send.
automation::ObjectRef make_fake_request(std::shared_ptr<FakeWeb> web);

// A download service answering from the same FakeWeb (unknown address: empty bytes).
class FakeDownloader : public Downloader {
public:
  explicit FakeDownloader(std::shared_ptr<FakeWeb> web) : web_(std::move(web)) {}
  Bytes download_resource(const Text& address) override;
  std::vector<std::string> downloaded;

private:
  std::shared_ptr<FakeWeb> web_;
};

// The whole platform for a core test: the real code page and regular expressions, a fake web
// and downloader, a headless window, a fake desktop and clock. Installs itself on construction
// with fresh module state, and uninstalls the window when it goes.
class CoreHarness {
public:
  CoreHarness();
  ~CoreHarness();
  CoreHarness(const CoreHarness&) = delete;
  CoreHarness& operator=(const CoreHarness&) = delete;

  // Serves the body (GBK bytes) at the address (UTF-8).
  void serve(const std::string& address, const std::string& body);
  // A query as the user starts it: types the name (UTF-8) and presses Enter.
  void query(const std::string& account_utf8);
  // Text of a control as UTF-8.
  std::string text(ControlName control) const;
  std::uint32_t colour(ControlName control) const;
  Bytes picture(ControlName control) const;

  std::shared_ptr<FakeWeb> web = std::make_shared<FakeWeb>();
  Registry registry;
  FakeDownloader downloader{web};
  headless::FakeDesktop desktop;
  headless::FakeClock clock{{2026, 12, 11, 12, 0, 0}};
  std::unique_ptr<headless::HeadlessWindow> window;
  Platform platform_bundle;
};

// A UTF-8 text as GBK bytes.
std::string gbk_bytes(const std::string& utf8);

} // namespace zembrik::testing_support
