#include "app/config.h"

#include "app/config_defaults.h"

namespace zembrik::config {
namespace {

struct Values {
  std::string member = defaults::kMemberHost;
  std::string rating = defaults::kRatingHost;
  std::string image = defaults::kImageHost;
  std::string maker = defaults::kMakerPage;
  std::string update = defaults::kUpdatePage;
  std::string download = defaults::kDownloadPage;
};

Values& values() {
  static Values v;
  return v;
}

} // namespace

const std::string& member_host() { return values().member; }
const std::string& rating_host() { return values().rating; }
const std::string& image_host() { return values().image; }
const std::string& maker_page() { return values().maker; }
const std::string& update_page() { return values().update; }
const std::string& download_page() { return values().download; }

void set_taobao_hosts(std::string member, std::string rating, std::string image) {
  values().member = std::move(member);
  values().rating = std::move(rating);
  values().image = std::move(image);
}

void set_maker_pages(std::string maker, std::string update, std::string download) {
  values().maker = std::move(maker);
  values().update = std::move(update);
  values().download = std::move(download);
}

} // namespace zembrik::config
