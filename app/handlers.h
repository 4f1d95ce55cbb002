#pragma once
#include "text/text.h"

namespace zembrik {

// The current version text, shown in the About box and compared with the update page.
inline constexpr const char* kCurrentVersion = "v1.0";

void show_close_prompt();
void show_about_box();
void show_instructions_box();
// Opens the rating page of the account whose ID `编辑框id` holds; nothing when it is empty.
void open_rating_page();
// Enter (13) starts a query; any other key does nothing.
void on_account_key(int key_code);

// Handler of the first activation: starts check_for_update on a thread of its own.
void start_update_check();
// Downloads the update page and offers the download when it names another version.
void check_for_update();
// The version text the update page names between its two markers; empty when absent.
Text update_version_of(const Text& page);

// Texts of the boxes, for the platform layers and tests.
Text about_text();
Text instructions_text();
Text rating_page_address(const Text& id);

} // namespace zembrik
