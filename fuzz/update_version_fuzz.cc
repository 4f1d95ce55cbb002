// Reading the version out of an update page, and the update check acting on it: a box is
// offered exactly when the page names a version other than the current one.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/handlers.h"
#include "app/state.h"
#include "fuzz/fuzz_support.h"
#include "platform/headless/fake_desktop.h"
#include "platform/headless/headless_window.h"
#include "text/match_set.h"

namespace {

using zembrik::Text;
using zembrik::fuzz::require;

class PageDownloader : public zembrik::Downloader {
public:
  zembrik::Bytes download_resource(const Text&) override { return body; }
  zembrik::Bytes body;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zembrik::fuzz::install_code_page_only();
  const Text page = zembrik::page_text(zembrik::Bytes(data, data + size));
  const Text left = zembrik::gbk("☆☆☆☆☆最新版本→");
  const Text right = zembrik::gbk("←最新版本☆☆☆☆☆");

  const Text version = zembrik::update_version_of(page);
  require(version == zembrik::text_between(page, left, right), "the piece between the markers");
  require(version.empty() || page.bytes.find(version.bytes) != std::string::npos,
          "the version is a piece of the page");

  PageDownloader downloader;
  downloader.body.assign(data, data + size);
  zembrik::headless::FakeDesktop desktop;
  desktop.script_answers({size % 2 == 0 ? zembrik::kResultOk : zembrik::kResultCancel});
  zembrik::Platform p;
  p.code_page = &zembrik::posix::code_page_936();
  p.desktop = &desktop;
  p.downloader = &downloader;
  zembrik::install_platform(p);
  zembrik::create_module_state();
  zembrik::headless::HeadlessWindow window;
  p.window = &window;
  zembrik::install_platform(p);

  zembrik::check_for_update();
  const bool offered = zembrik::find_text(page, zembrik::gbk("最新版本")) > 0 &&
                       version != zembrik::gbk(zembrik::kCurrentVersion);
  require(desktop.boxes().size() == (offered ? 1u : 0u), "a box only for another version");
  require(window.visible() || (offered && window.ended_with()), "the window comes back");

  zembrik::exit_clean_up();
  zembrik::fuzz::install_code_page_only();
  return 0;
}
