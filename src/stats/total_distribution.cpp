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

namespace {

// Running sums of a distribution held from value `first` on, both tails, so that each keeps its own
// precision; below first it is 0, past the values held 1.
class Cumulative {
public:
    Cumulative(const std::vector<double>& pmf, std::uint64_t first) : m_first(first)
    {
        m_atMost.resize(pmf.size());
        m_atLeast.resize(pmf.size());
        double sum = 0;
        for (std::size_t i = 0; i < pmf.size(); ++i) m_atMost[i] = std::min(1.0, sum += pmf[i]);
        sum = 0;
        for (std::size_t i = pmf.size(); i-- > 0;) m_atLeast[i] = std::min(1.0, sum += pmf[i]);
    }
    double atMost(std::uint64_t j) const
    {
        if (j < m_first) return 0.0;
        return j - m_first < m_atMost.size() ? m_atMost[j - m_first] : 1.0;
    }
    double atLeast(std::uint64_t j) const
    {
        if (j < m_first) return 1.0;
        return j - m_first < m_atLeast.size() ? m_atLeast[j - m_first] : 0.0;
    }
    std::uint64_t size() const { return m_atMost.size(); }

private:
    std::uint64_t m_first;
    std::vector<double> m_atMost;
    std::vector<double> m_atLeast;
};

// Every sum's chance, or those of a window about the mean outside which lies less than `outside`.
class ExactPlan final : public SpanPlan {
public:
    ExactPlan(const std::vector<double>& pmf, std::uint64_t first, double outside)
        : m_sums(pmf, first), m_outside(outside)
    {
    }
    Method method() const override { return Method::Exact; }
    double errorBound() const override { return m_outside; }
    double atMost(std::uint64_t k) const override { return m_sums.atMost(k); }
    double atLeast(std::uint64_t k) const override { return m_sums.atLeast(k); }

private:
    Cumulative m_sums;
    double m_outside;
};

// The faces grouped `width` at a time, the sums of group numbers exact: the truth lies between two group
// sums at most `slack` faces apart, and their midpoint is off by at most half the chance between them.
class GroupedPlan final : public SpanPlan {
public:
    GroupedPlan(const DieModel& die, std::uint64_t n, std::uint64_t width)
        : m_width(width),
          m_slack(n * (width - 1)),
          m_groups(convolutionPower(die.groupedProbabilities(width), n), 0)
    {
        const std::uint64_t reach = (m_slack + width - 1) / width;
        double widest = 0;
        for (std::uint64_t j = 0; j < m_groups.size(); ++j) {
            const double below = j >= reach ? m_groups.atMost(j - reach) : 0.0;
            widest = std::max(widest, m_groups.atMost(j) - below);
        }
        m_errorBound = widest / 2.0;
    }
    Method method() const override { return Method::Grouped; }
    double errorBound() const override { return m_errorBound; }
    double atMost(std::uint64_t k) const override
    {
        const double upper = m_groups.atMost(k / m_width);
        const double lower = k < m_slack ? 0.0 : m_groups.atMost((k - m_slack) / m_width);
        return (upper + lower) / 2.0;
    }
    double atLeast(std::uint64_t k) const override
    {
        const double lower = m_groups.atLeast((k + m_width - 1) / m_width);
        const double upper = k <= m_slack ? 1.0 : m_groups.atLeast((k - m_slack + m_width - 1) / m_width);
        return (upper + lower) / 2.0;
    }

private:
    std::uint64_t m_width;  // faces per group
    std::uint64_t m_slack;  // how far the faces of all dice may lie above their groups' first faces
    Cumulative m_groups;
    double m_errorBound = 0;
};

// The normal curve of the sum, with continuity correction.
class NormalPlan final : public SpanPlan {
public:
    NormalPlan(double mean, double deviation, double bound)
        : m_mean(mean), m_deviation(deviation), m_bound(bound)
    {
    }
    Method method() const override { return Method::Normal; }
    double errorBound() const override { return m_bound; }
    double atMost(std::uint64_t k) const override { return below(static_cast<double>(k) + 0.5); }
    double atLeast(std::uint64_t k) const override { return 1.0 - below(static_cast<double>(k) - 0.5); }

private:
    double below(double x) const
    {
        return 0.5 * std::erfc(-(x - m_mean) / (m_deviation * std::numbers::sqrt2));
    }

    double m_mean;
    double m_deviation;
    double m_bound;
};

}  // namespace

std::shared_ptr<const SpanPlan> planFor(const DieModel& die, std::uint64_t n, std::uint64_t exactTotals)
{
    const std::uint64_t span = n * (die.sides() - 1);
    if (span + 1 <= exactTotals)
        return std::make_shared<ExactPlan>(convolutionPower(die.groupedProbabilities(1), n), 0, 0.0);

    // Wider ranges are still exact when nearly all their chance lies in a window of exactTotals totals
    // about the mean: Hoeffding's inequality bounds what falls outside.
    const std::uint64_t window = std::bit_floor(exactTotals);
    const double reach = static_cast<double>(window) / 2.0 - 1.0;
    const double faceRange = static_cast<double>(die.sides() - 1);
    const double outside =
        2.0 * std::exp(-2.0 * reach * reach / (static_cast<double>(n) * faceRange * faceRange));
    if (outside < kNegligible) {
        const double centre = static_cast<double>(n) * (die.mean() - 1.0);
        const double start = std::max(0.0, std::round(centre) - static_cast<double>(window / 2));
        const std::uint64_t first = std::min(span + 1 - window, static_cast<std::uint64_t>(start));
        const std::vector<double> wrapped = wrappedConvolutionPower(die.groupedProbabilities(1), n, window);
        std::vector<double> pmf(window);
        for (std::size_t j = 0; j < window; ++j) pmf[j] = wrapped[(first + j) % window];
        return std::make_shared<ExactPlan>(pmf, first, outside);
    }

    const double sigma = std::sqrt(die.variance() * static_cast<double>(n));
    const double normalBound =
        kBerryEsseen * die.absoluteThirdMoment() / (std::pow(die.variance(), 1.5) * std::sqrt(n));
    const std::uint64_t groups = exactTotals > n ? (exactTotals - 1) / n + 1 : 1;
    const std::uint64_t width = (die.sides() + groups - 1) / groups;
    // The grouped bound is about half the chance of a stretch of totals as wide as the dice's slack.
    const double groupedGuess =
        static_cast<double>(n * (width - 1)) / (2.0 * sigma * std::sqrt(2.0 * std::numbers::pi));
    if (groups < 2 || normalBound <= groupedGuess)
        return std::make_shared<NormalPlan>(static_cast<double>(n) * (die.mean() - 1.0), sigma,
                                            std::min(1.0, normalBound));
    return std::make_shared<GroupedPlan>(die, n, width);
}

TotalDistribution::TotalDistribution(const RollShape& shape, std::uint64_t exactTotals)
    : m_shape(shape), m_die(shape.sides)
{
    const std::uint64_t n = shape.dice;
    m_offset = static_cast<std::int64_t>(n * (1 + shape.perDieModify) + shape.totalModify);
    m_span = n * (shape.sides - 1);
    if (n > 0) m_plan = planFor(m_die, n, exactTotals);
}

TotalDistribution::TotalDistribution(const Found& found)
    : m_shape{.dice = 0, .sides = found.sides, .times = found.times},
      m_die(found.sides),
      m_offset(found.minimum),
      m_span(found.span),
      m_plan(found.plan),
      m_mean(found.mean),
      m_sd(found.standardDeviation)
{
}

double TotalDistribution::mean() const
{
    if (m_mean) return *m_mean;
    const double n = static_cast<double>(m_shape.dice);
    return n * (m_die.mean() + static_cast<double>(m_shape.perDieModify)) +
           static_cast<double>(m_shape.totalModify);
}

double TotalDistribution::standardDeviation() const
{
    if (m_sd) return *m_sd;
    return std::sqrt(m_die.variance() * static_cast<double>(m_shape.dice));
}

double TotalDistribution::atMost(std::int64_t total) const
{
    if (total < minimum()) return 0.0;
    if (total >= maximum()) return 1.0;
    return m_plan->atMost(static_cast<std::uint64_t>(total - minimum()));
}

double TotalDistribution::atLeast(std::int64_t total) const
{
    if (total <= minimum()) return 1.0;
    if (total > maximum()) return 0.0;
    return m_plan->atLeast(static_cast<std::uint64_t>(total - minimum()));
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
