#pragma once
#include <string>

#include "platform/headless/headless_window.h"

namespace zembrik::check {

// One line of JSON with the window's state: every edit box, label and group box with its text
// and colour, the two pictures and the account kind.
std::string json_report(const headless::HeadlessWindow& window);
// A readable summary in Chinese (UTF-8), several lines.
std::string summary_report(const headless::HeadlessWindow& window);

} // namespace zembrik::check
