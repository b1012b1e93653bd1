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
// Rounded up rather than to nearest: for bounds, which must stay true as stated.
std::string formatUp(double value, int decimals);
// "1 die", "3 dice".
std::string countOf(std::uint64_t n, const char* one, const char* many);

// A chance as the window shows it: two decimals of a percent, "< 0.01%" or "> 99.99%" where those would
// round to 0 or 100 while the chance is not so, and "0%" or "100%" where it is certain. exact holds the
// figure itself where shown is only a bound.
struct ChanceText {
    std::string shown;
    std::string exact;
};
// certain: the chance is 0 or 1 by the range of totals, not by rounding.
ChanceText formatChance(double chance, bool certain);

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
// "consistent with fair dice", "unusual: ..." with how often fair dice look that unusual, or that there is
// too little to judge.
std::string verdictText(const Fairness& fairness);

}  // namespace tumblecast::stats
