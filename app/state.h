#pragma once
#include <cstdint>

#include "text/text.h"

namespace zembrik {

enum class AccountKind : std::int32_t { Buyer = 0, Seller = 1, Tmall = 2 };

// The kind decided by the last query that passed the failure tests; Buyer at start.
extern AccountKind account_kind;

// The update page as last downloaded by the update check. Written on the update check thread
// only; the exit clean-up releases it once that thread can no longer touch it.
Text update_page_text();
void store_update_page_text(Text text);

// Start-up: the holders of the match set created empty, account_kind Buyer, no update page.
void create_module_state();
// The exit clean-up: releases the update page text, then the regular-expression object and its
// holder, then the match set and its holder. Runs at most once per created state; later calls
// do nothing.
void exit_clean_up();
// How many times the clean-up has run since the state was created (0 or 1).
int exit_clean_up_runs();

} // namespace zembrik
