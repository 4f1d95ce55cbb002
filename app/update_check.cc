#include "app/config.h"
#include "app/handlers.h"
#include "app/state.h"
#include "platform/platform.h"
#include "text/match_set.h"

namespace zembrik {

Text update_version_of(const Text& page) {
  return text_between(page, gbk("☆☆☆☆☆最新版本→"), gbk("←最新版本☆☆☆☆☆"));
}

void start_update_check() { platform().desktop->start_thread(&check_for_update); }

void check_for_update() {
  const Platform& p = platform();
  Bytes body;
  if (p.downloader) body = p.downloader->download_resource(gbk(config::update_page()));
  store_update_page_text(page_text(body));
  const Text page = update_page_text();
  if (find_text(page, gbk("最新版本")) < 0) return;
  if (update_version_of(page) == gbk(kCurrentVersion)) return;

  p.window->set_visible(false);
  const int answer = p.desktop->message_box(
      gbk("立即更新，请点击“确定”！\r\n\r\n继续使用，请点击“取消”！"), gbk("更新提示："),
      kStyleInformationOkCancel);
  if (answer == kResultOk) {
    p.desktop->open_address(gbk(config::download_page()));
    p.window->end_program(0);
  } else {
    p.window->set_visible(true);
  }
}

} // namespace zembrik
