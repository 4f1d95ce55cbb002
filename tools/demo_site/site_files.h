#pragma once
#include <string_view>
#include <vector>

namespace zembrik::site {

// The files compiled into the demo site: the page templates under pages/ and the rank icons
// under rank_icons/, named by their path relative to the demo site's folder.
struct EmbeddedFile {
  std::string_view name;
  std::string_view bytes;
};
const std::vector<EmbeddedFile>& embedded_files();

// The bytes of the named file; aborts when there is none (a missing file is a build mistake).
std::string_view embedded_file(std::string_view name);

} // namespace zembrik::site
