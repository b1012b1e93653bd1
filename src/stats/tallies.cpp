#include "stats/tallies.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace tumblecast::stats {

namespace {

// The smallest total whose chance of not being exceeded reaches level.
std::int64_t quantile(const TotalDistribution& distribution, double level)
{
    std::int64_t lo = distribution.minimum();
    std::int64_t hi = distribution.maximum();
    while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (distribution.atMost(mid) >= level)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

}  // namespace

TotalBins::TotalBins(const TotalDistribution& distribution)
{
    const double repetitions = static_cast<double>(std::max<std::uint64_t>(1, distribution.shape().times));
    const auto wanted =
        static_cast<std::uint64_t>(std::max(1.0, std::round(2.0 * std::pow(repetitions, 0.4))));
    const std::uint64_t totals =
        static_cast<std::uint64_t>(distribution.maximum() - distribution.minimum()) + 1;
    if (totals <= std::max<std::uint64_t>(wanted, 100)) {
        for (std::int64_t t = distribution.minimum(); t <= distribution.maximum(); ++t) m_lows.push_back(t);
    } else {
        m_lows.push_back(distribution.minimum());
        for (std::uint64_t i = 1; i < wanted; ++i) {
            const std::int64_t edge =
                quantile(distribution, static_cast<double>(i) / static_cast<double>(wanted)) + 1;
            if (edge > m_lows.back() && edge <= distribution.maximum()) m_lows.push_back(edge);
        }
    }
    for (std::size_t i = 0; i < m_lows.size(); ++i) {
        m_highs.push_back(i + 1 < m_lows.size() ? m_lows[i + 1] - 1 : distribution.maximum());
        m_chances.push_back(distribution.between(m_lows[i], m_highs[i]));
    }
}

std::size_t TotalBins::binOf(std::int64_t total) const
{
    const auto it = std::upper_bound(m_lows.begin(), m_lows.end(), total);
    return it == m_lows.begin() ? 0 : static_cast<std::size_t>(it - m_lows.begin()) - 1;
}

FaceBins::FaceBins(const DieModel& die)
    : m_sides(die.sides()),
      m_bins(std::min(die.sides(), kMaxBins)),
      m_divisor(die.sides() <= kMaxBins ? 1 : die.sides())
{
    if (m_divisor > 1) {
        // (face - 1) * 100 stays below 2^31; with l = ceil(log2 sides) the multiplier ceil(2^(31+l) / sides)
        // makes the product's top bits the exact quotient (Granlund and Montgomery).
        const unsigned l = static_cast<unsigned>(std::bit_width(m_sides - 1));
        m_index.scale = kMaxBins;
        m_index.shift = 31 + l;
        m_index.multiplier = ((std::uint64_t{1} << m_index.shift) + m_sides - 1) / m_sides;
    }
    for (std::size_t i = 0; i < m_bins; ++i) m_chances.push_back(die.probabilityIn(low(i), high(i)));
}

std::uint64_t FaceBins::low(std::size_t i) const
{
    // The first face whose bin is at least i: (face - 1) * scale >= i * divisor.
    return (i * m_divisor + m_index.scale - 1) / m_index.scale + 1;
}

TotalTally::TotalTally(const TotalBins& bins, double centre)
    : m_bins(&bins), m_centre(std::round(centre)), m_counts(bins.size())
{
}

void TotalTally::merge(const TotalTally& other)
{
    for (std::size_t i = 0; i < m_counts.size(); ++i) m_counts[i] += other.m_counts[i];
    m_count += other.m_count;
    m_sum += other.m_sum;
    m_sumSquares += other.m_sumSquares;
}

void TotalTally::clear()
{
    std::fill(m_counts.begin(), m_counts.end(), 0);
    m_count = 0;
    m_sum = m_sumSquares = 0;
}

double TotalTally::mean() const { return m_count ? m_centre + m_sum / static_cast<double>(m_count) : 0.0; }

double TotalTally::standardDeviation() const
{
    if (m_count < 2) return 0.0;
    const double n = static_cast<double>(m_count);
    return std::sqrt(std::max(0.0, (m_sumSquares - m_sum * m_sum / n) / (n - 1)));
}

void FaceTally::merge(const FaceTally& other)
{
    for (std::size_t i = 0; i < m_counts.size(); ++i) m_counts[i] += other.m_counts[i];
}

std::vector<std::uint64_t> FaceTally::counts() const
{
    return {m_counts.begin(), m_counts.begin() + static_cast<std::ptrdiff_t>(m_bins->size())};
}

std::uint64_t FaceTally::count() const
{
    std::uint64_t n = 0;
    for (const auto c : m_counts) n += c;
    return n;
}

}  // namespace tumblecast::stats
