#pragma once
#include <string>

namespace zembrik::config {

// The six configurable values. The window program uses the values fixed at build time; only
// the command-line check (and tests) point the three Taobao hosts elsewhere, before any query.
const std::string& member_host();
const std::string& rating_host();
const std::string& image_host();
const std::string& maker_page();
const std::string& update_page();
const std::string& download_page();

void set_taobao_hosts(std::string member, std::string rating, std::string image);
// For tests only: the maker's three addresses.
void set_maker_pages(std::string maker, std::string update, std::string download);

} // namespace zembrik::config
