#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "stats/die_model.h"
#include "stats/total_distribution.h"

namespace tumblecast::stats {

// Ranges of one repetition's total, about equally likely, for the chart and the test of the totals: one
// per total while the totals are few, else about 2 N^0.4 for N repetitions. Totals are tallied into
// them rather than stored, so memory stays bounded whatever the roll.
class TotalBins {
public:
    explicit TotalBins(const TotalDistribution& distribution);

    std::size_t size() const { return m_lows.size(); }
    std::int64_t low(std::size_t i) const { return m_lows[i]; }
    std::int64_t high(std::size_t i) const { return m_highs[i]; }
    double chance(std::size_t i) const { return m_chances[i]; }
    const std::vector<double>& chances() const { return m_chances; }
    // Totals outside the range (a broken generator's) fall into the end bins.
    std::size_t binOf(std::int64_t total) const;

private:
    std::vector<std::int64_t> m_lows;
    std::vector<std::int64_t> m_highs;
    std::vector<double> m_chances;
};

// Faces of all dice: one bin per face up to 100 sides, 100 equal ranges beyond.
class FaceBins {
public:
    static constexpr std::uint64_t kMaxBins = 100;

    explicit FaceBins(const DieModel& die);

    std::size_t size() const { return m_bins; }
    std::uint64_t low(std::size_t i) const;
    std::uint64_t high(std::size_t i) const { return i + 1 < m_bins ? low(i + 1) - 1 : m_sides; }
    double chance(std::size_t i) const { return m_chances[i]; }
    const std::vector<double>& chances() const { return m_chances; }
    // floor((face - 1) * 100 / sides) by a multiplication and a shift rather than a division per die;
    // exact for every face. A value, so that a tally's loop keeps it in registers.
    struct Index {
        std::uint64_t scale = 1;  // 1 when each face has its own bin, else 100
        std::uint64_t multiplier = 1;
        unsigned shift = 0;
        std::size_t operator()(std::uint64_t face) const
        {
            return static_cast<std::size_t>(((face - 1) * scale * multiplier) >> shift);
        }
    };
    Index index() const { return m_index; }
    std::uint64_t sides() const { return m_sides; }
    std::size_t binOf(std::uint64_t face) const { return m_index(face); }

private:
    std::uint64_t m_sides;
    std::size_t m_bins;
    std::uint64_t m_divisor;  // 1 when each face has its own bin, else sides
    Index m_index;
    std::vector<double> m_chances;
};

// One thread's tally of the totals: counts per bin and the sums for the mean and standard deviation.
// Give each thread its own and merge them at the end; the bins must outlive it.
class TotalTally {
public:
    explicit TotalTally(const TotalBins& bins, double centre);

    void add(std::int64_t total)
    {
        ++m_counts[m_bins->binOf(total)];
        // Offsets from the expected mean keep the sums of squares precise for totals near 2e10.
        const double d = static_cast<double>(total) - m_centre;
        m_sum += d;
        m_sumSquares += d * d;
        ++m_count;
    }
    void merge(const TotalTally& other);
    void clear();

    const std::vector<std::uint64_t>& counts() const { return m_counts; }
    std::uint64_t count() const { return m_count; }
    double mean() const;
    double standardDeviation() const;  // with n - 1; 0 below two totals

private:
    const TotalBins* m_bins;
    double m_centre;
    std::vector<std::uint64_t> m_counts;
    std::uint64_t m_count = 0;
    double m_sum = 0;
    double m_sumSquares = 0;
};

// One thread's tally of the faces; the bins must outlive it.
class FaceTally {
public:
    explicit FaceTally(const FaceBins& bins) : m_bins(&bins), m_index(bins.index()) {}

    void add(std::uint64_t face) { ++m_counts[m_index(face)]; }
    void clear() { m_counts.fill(0); }
    void merge(const FaceTally& other);

    std::vector<std::uint64_t> counts() const;
    std::uint64_t count() const;

private:
    const FaceBins* m_bins;
    FaceBins::Index m_index;
    std::array<std::uint64_t, FaceBins::kMaxBins> m_counts{};
};

}  // namespace tumblecast::stats
