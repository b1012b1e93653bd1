#include "stats/fairness.h"

#include <algorithm>

namespace tumblecast::stats {

Fairness judgeFairness(const TotalBins& totalBins, const TotalTally& totals, const FaceBins& faceBins,
                       const FaceTally& faces, bool sameDice)
{
    Fairness result;
    result.totals = chiSquareTest(totals.counts(), totalBins.chances());
    result.faces = chiSquareTest(faces.counts(), faceBins.chances());
    int tests = 0;
    double smallest = 1;
    for (const ChiSquareResult* test : {&result.totals, &result.faces}) {
        if (!test->tested()) continue;
        ++tests;
        smallest = std::min(smallest, test->pValue);
    }
    if (sameDice) tests = std::min(tests, 1);
    result.pValue = tests ? std::min(1.0, smallest * tests) : 1.0;
    return result;
}

}  // namespace tumblecast::stats
