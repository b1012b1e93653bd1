#include "stats/chi_square.h"

#include <cmath>
#include <limits>
#include <numeric>

namespace tumblecast::stats {

namespace {

constexpr int kMaxIterations = 100000;
constexpr double kEpsilon = 1e-15;

// P(a, x) by its power series; converges fast for x < a + 1.
double lowerSeries(double a, double x)
{
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n < kMaxIterations; ++n) {
        term *= x / (a + n);
        sum += term;
        if (std::fabs(term) < std::fabs(sum) * kEpsilon) break;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// Q(a, x) by its continued fraction (modified Lentz); converges fast for x >= a + 1.
double upperFraction(double a, double x)
{
    constexpr double tiny = std::numeric_limits<double>::min() / kEpsilon;
    double b = x + 1.0 - a;
    double c = 1.0 / tiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < kMaxIterations; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::fabs(d) < tiny) d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny) c = tiny;
        d = 1.0 / d;
        const double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1.0) < kEpsilon) break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

}  // namespace

double upperGammaQ(double a, double x)
{
    if (x <= 0) return 1.0;
    if (x < a + 1.0) return 1.0 - lowerSeries(a, x);
    return upperFraction(a, x);
}

double chiSquarePValue(double statistic, double df) { return upperGammaQ(df / 2.0, statistic / 2.0); }

ChiSquareResult chiSquareTest(const std::vector<std::uint64_t>& observed, const std::vector<double>& chances,
                              double minExpected)
{
    const double n = static_cast<double>(std::accumulate(observed.begin(), observed.end(), std::uint64_t{0}));
    std::vector<double> obs;
    std::vector<double> exp;
    double o = 0;
    double e = 0;
    for (std::size_t i = 0; i < observed.size() && i < chances.size(); ++i) {
        o += static_cast<double>(observed[i]);
        e += chances[i] * n;
        if (e >= minExpected) {
            obs.push_back(o);
            exp.push_back(e);
            o = e = 0;
        }
    }
    // What is left over joins the last full bin.
    if (!exp.empty()) {
        obs.back() += o;
        exp.back() += e;
    }
    ChiSquareResult result;
    if (exp.size() < 2) return result;
    for (std::size_t i = 0; i < exp.size(); ++i)
        result.statistic += (obs[i] - exp[i]) * (obs[i] - exp[i]) / exp[i];
    result.degreesOfFreedom = static_cast<int>(exp.size()) - 1;
    result.pValue = chiSquarePValue(result.statistic, result.degreesOfFreedom);
    return result;
}

}  // namespace tumblecast::stats
