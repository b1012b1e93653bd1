#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stats/fairness.h"
#include "stats/tallies.h"
#include "stats/total_distribution.h"

namespace tumblecast::stats {

// Numbers as the window shows them, the same in every locale: "10.500", "12.50%", "0.0004".
std::string formatFixed(double value, int decimals);
std::string formatPercent(double chance);
std::string formatPValue(double p);  // four decimals, "< 0.0001" below them

// One row of the expected table: a single total (low == high) or a range of totals.
struct ExpectedRow {
    std::int64_t low = 0;
    std::int64_t high = 0;
    double inRow = 0;    // P(low <= total <= high)
    double atLeast = 0;  // P(total >= low)
    double atMost = 0;   // P(total <= high)
};

// Every total while there are at most maxRows of them; else equal ranges across mean +/- 5 standard
// deviations (within the possible totals), with the tails beyond as one row each.
std::vector<ExpectedRow> expectedRows(const TotalDistribution& distribution, std::size_t maxRows = 200);

// "exact", or which approximation and how far off any chance may be.
std::string methodText(const TotalDistribution& distribution);
// "consistent with fair dice", "unusual: p = 0.0004", or that there is too little to judge.
std::string verdictText(const Fairness& fairness);

}  // namespace tumblecast::stats
