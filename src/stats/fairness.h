#pragma once

#include "stats/chi_square.h"
#include "stats/tallies.h"

namespace tumblecast::stats {

// The two tests are one family: the smaller p-value times the number of tests run (Bonferroni) must fall
// below this level for the dice to be called unusual. A strict level, because users judge many rolls and
// every start of the program rolls the same dice.
inline constexpr double kUnusualLevel = 0.001;

struct Fairness {
    ChiSquareResult totals;
    ChiSquareResult faces;
    double pValue = 1;  // combined; 1 when neither test could run
    bool tested() const { return totals.tested() || faces.tested(); }
    bool unusual() const { return tested() && pValue < kUnusualLevel; }
};

// sameDice: each total is one die (with a constant added), so the two tests read the same dice and count
// as one.
Fairness judgeFairness(const TotalBins& totalBins, const TotalTally& totals, const FaceBins& faceBins,
                       const FaceTally& faces, bool sameDice = false);

}  // namespace tumblecast::stats
