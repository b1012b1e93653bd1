#pragma once

#include <cstdint>
#include <vector>

namespace tumblecast::stats {

// Q(a, x) = Gamma(a, x) / Gamma(a), the upper regularised incomplete gamma function, for a > 0, x >= 0.
double upperGammaQ(double a, double x);

// The chance that a chi-square variable with df degrees of freedom is at least statistic.
double chiSquarePValue(double statistic, double df);

struct ChiSquareResult {
    double statistic = 0;
    int degreesOfFreedom = 0;  // 0 when there were too few observations to test
    double pValue = 1;
    bool tested() const { return degreesOfFreedom > 0; }
};

// Pearson's test of counts in adjacent bins against the chances of the bins (which sum to 1 over all the
// bins). Neighbouring bins are merged until each expects at least minExpected observations, so that
// sparse tails do not swamp the statistic.
ChiSquareResult chiSquareTest(const std::vector<std::uint64_t>& observed, const std::vector<double>& chances,
                              double minExpected = 5.0);

}  // namespace tumblecast::stats
