#pragma once
#include <cstdint>

#include "platform/window.h"
#include "text/text.h"

namespace zembrik {

// One whole query of the account typed into `编辑框用户名`, writing its results into the window.
void run_query();
// Credit, good-review rate, rank icon, period counts and given-review counts of a buyer or
// seller, cut out of the rating page.
void fill_statistics(const Text& rating_page);
// Counts the reviews with the result code (0 neutral, -1 negative) that the account has given
// and writes the count into the target box.
void count_given_reviews(int result_code, const Text& progress_caption, ControlName target);
// Judges the security level from the figures in the window's boxes.
void assess_risk();

} // namespace zembrik
