// What pagesim shows: a trace (or the empty one of a quiz), totals, and the comparison over frame
// counts, for a person or as CSV.
#pragma once

#include "console.hpp"
#include "options.hpp"
#include "pages.hpp"

namespace pagesim {

void showTrace(console::Console& console, const Options& options,
               const pagemodel::References& references);
void showTotals(console::Console& console, const Options& options,
                const pagemodel::References& references);
void showComparison(console::Console& console, const Options& options,
                    const pagemodel::References& references);

}  // namespace pagesim
