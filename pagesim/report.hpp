// What pagesim shows: a trace (or the empty one of a quiz), totals, and the comparison over frame
// counts, for a person or as CSV.
#pragma once

#include <cstddef>
#include <vector>

#include "console.hpp"
#include "options.hpp"
#include "pages.hpp"
#include "replacement.hpp"

namespace pagesim {

// The totals of one policy with one number of frames.
struct Outcome {
    pagemodel::Policy policy;
    std::size_t frames;
    pagemodel::Totals totals;
};

void showTrace(console::Console& console, const Options& options,
               const pagemodel::References& references);
// `outcomes`: one per policy, in the order of the options.
void showTotals(console::Console& console, const Options& options,
                const std::vector<Outcome>& outcomes);
// `outcomes`: by policy in the order of the options, then by frames from the fewest.
void showComparison(console::Console& console, const Options& options,
                    const std::vector<Outcome>& outcomes);

}  // namespace pagesim
