#include "stats/total_distribution.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

#include "stats/convolution.h"

namespace tumblecast::stats {

namespace {

// Shevtsova's constant for the Berry-Esseen inequality of identically distributed summands.
constexpr double kBerryEsseen = 0.4748;
// Chance beyond a window that is lost in rounding anyway.
constexpr double kNegligible = 1e-15;

}  // namespace

RollShape shapeOf(const RollRequest& request)
{
    return RollShape{request.dice, request.sides, request.perDie ? request.modify : 0, request.totalModify,
                     request.times};
}

TotalDistribution::TotalDistribution(const RollShape& shape, std::uint64_t exactTotals)
    : m_shape(shape), m_die(shape.sides)
{
    const std::uint64_t n = shape.dice;
    m_offset = static_cast<std::int64_t>(n * (1 + shape.perDieModify) + shape.totalModify);
    m_span = n * (shape.sides - 1);
    if (n == 0) return;
    std::uint64_t width = 1;
    // Wider ranges are still exact when nearly all their chance lies in a window of exactTotals totals
    // about the mean: Hoeffding's inequality bounds what falls outside.
    const std::uint64_t window = std::bit_floor(exactTotals);
    const double reach = static_cast<double>(window) / 2.0 - 1.0;
    const double faceRange = static_cast<double>(shape.sides - 1);
    const double outside =
        2.0 * std::exp(-2.0 * reach * reach / (static_cast<double>(n) * faceRange * faceRange));
    const bool windowed = m_span + 1 > exactTotals && outside < kNegligible;
    if (m_span + 1 > exactTotals && !windowed) {
        const double sigma = std::sqrt(m_die.variance() * static_cast<double>(n));
        const double normalBound =
            kBerryEsseen * m_die.absoluteThirdMoment() / (std::pow(m_die.variance(), 1.5) * std::sqrt(n));
        const std::uint64_t groups = exactTotals > n ? (exactTotals - 1) / n + 1 : 1;
        width = (shape.sides + groups - 1) / groups;
        // The grouped bound is about half the chance of a stretch of totals as wide as the dice's slack.
        const double groupedGuess =
            static_cast<double>(n * (width - 1)) / (2.0 * sigma * std::sqrt(2.0 * std::numbers::pi));
        if (groups < 2 || normalBound <= groupedGuess) {
            m_method = Method::Normal;
            m_errorBound = std::min(1.0, normalBound);
            return;
        }
        m_method = Method::Grouped;
    }
    m_width = width;
    m_slack = n * (width - 1);
    std::vector<double> pmf;
    if (windowed) {
        const double centre = static_cast<double>(n) * (m_die.mean() - 1.0);
        const double first = std::max(0.0, std::round(centre) - static_cast<double>(window / 2));
        m_first = std::min(m_span + 1 - window, static_cast<std::uint64_t>(first));
        const std::vector<double> wrapped = wrappedConvolutionPower(m_die.groupedProbabilities(1), n, window);
        pmf.resize(window);
        for (std::size_t j = 0; j < window; ++j) pmf[j] = wrapped[(m_first + j) % window];
        m_errorBound = outside;
    } else {
        pmf = convolutionPower(m_die.groupedProbabilities(width), n);
    }
    // Both running sums, so that each tail keeps its own precision.
    m_atMost.resize(pmf.size());
    m_atLeast.resize(pmf.size());
    double sum = 0;
    for (std::size_t i = 0; i < pmf.size(); ++i) m_atMost[i] = std::min(1.0, sum += pmf[i]);
    sum = 0;
    for (std::size_t i = pmf.size(); i-- > 0;) m_atLeast[i] = std::min(1.0, sum += pmf[i]);
    if (m_slack > 0) {
        // The faces may lie anywhere within their groups: the truth lies between two group totals at most
        // `reach` apart, and the midpoint is off by at most half the chance between them.
        const std::size_t reach = static_cast<std::size_t>((m_slack + width - 1) / width);
        double widest = 0;
        for (std::size_t j = 0; j < pmf.size(); ++j) {
            const double below = j >= reach ? m_atMost[j - reach] : 0.0;
            widest = std::max(widest, m_atMost[j] - below);
        }
        m_errorBound = widest / 2.0;
    }
}

double TotalDistribution::mean() const
{
    const double n = static_cast<double>(m_shape.dice);
    return n * (m_die.mean() + static_cast<double>(m_shape.perDieModify)) +
           static_cast<double>(m_shape.totalModify);
}

double TotalDistribution::standardDeviation() const
{
    return std::sqrt(m_die.variance() * static_cast<double>(m_shape.dice));
}

double TotalDistribution::normalAtMost(double x) const
{
    return 0.5 * std::erfc(-(x - mean()) / (standardDeviation() * std::numbers::sqrt2));
}

double TotalDistribution::spanAtMost(std::uint64_t k) const
{
    if (m_method == Method::Normal) return normalAtMost(static_cast<double>(minimum()) + k + 0.5);
    const auto groupAtMost = [this](std::uint64_t j) {
        if (j < m_first) return 0.0;
        return j - m_first < m_atMost.size() ? m_atMost[j - m_first] : 1.0;
    };
    const double upper = groupAtMost(k / m_width);
    const double lower = k < m_slack ? 0.0 : groupAtMost((k - m_slack) / m_width);
    return (upper + lower) / 2.0;
}

double TotalDistribution::spanAtLeast(std::uint64_t k) const
{
    if (m_method == Method::Normal) return 1.0 - normalAtMost(static_cast<double>(minimum()) + k - 0.5);
    const auto groupAtLeast = [this](std::uint64_t j) {
        if (j < m_first) return 1.0;
        return j - m_first < m_atLeast.size() ? m_atLeast[j - m_first] : 0.0;
    };
    const double lower = groupAtLeast((k + m_width - 1) / m_width);
    const double upper = k <= m_slack ? 1.0 : groupAtLeast((k - m_slack + m_width - 1) / m_width);
    return (upper + lower) / 2.0;
}

double TotalDistribution::atMost(std::int64_t total) const
{
    if (total < minimum()) return 0.0;
    if (total >= maximum()) return 1.0;
    return spanAtMost(static_cast<std::uint64_t>(total - minimum()));
}

double TotalDistribution::atLeast(std::int64_t total) const
{
    if (total <= minimum()) return 1.0;
    if (total > maximum()) return 0.0;
    return spanAtLeast(static_cast<std::uint64_t>(total - minimum()));
}

double TotalDistribution::between(std::int64_t lo, std::int64_t hi) const
{
    lo = std::max(lo, minimum());
    hi = std::min(hi, maximum());
    if (lo > hi) return 0.0;
    // Difference the running sum of the nearer tail, which holds the small chances precisely.
    const double below = atMost(hi);
    const double chance = below < 0.5 ? below - atMost(lo - 1) : atLeast(lo) - atLeast(hi + 1);
    return std::clamp(chance, 0.0, 1.0);
}

double TotalDistribution::anyReaches(std::int64_t target) const
{
    const double p = atLeast(target);
    if (p >= 1.0) return 1.0;
    return -std::expm1(static_cast<double>(m_shape.times) * std::log1p(-p));
}

}  // namespace tumblecast::stats
