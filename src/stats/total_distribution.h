#pragma once

#include <cstdint>
#include <vector>

#include "engine/roll_request.h"
#include "stats/die_model.h"

namespace tumblecast::stats {

// What one roll is, as the statistics see it.
struct RollShape {
    std::uint64_t dice = 1;
    std::uint64_t sides = 6;
    std::uint64_t perDieModify = 0;  // 0 when the per-die box is not ticked
    std::uint64_t totalModify = 0;
    std::uint64_t times = 1;
};

// The request's per-die modifier counts only when its box is ticked.
RollShape shapeOf(const RollRequest& request);

// The exact chances of at most this many consecutive totals are computed, about 60 ms of CPU in a release
// build (twice that at 2^20), so the window can show them at once; that covers every total of rolls up
// to this range, and of wider rolls whose chance lies nearly all within this many totals.
inline constexpr std::uint64_t kExactTotals = std::uint64_t{1} << 19;

// The distribution of one repetition's grand total.
class TotalDistribution {
public:
    enum class Method {
        Exact,
        Grouped,  // exact for dice whose faces are grouped into equal ranges, bounded by the ranges' width
        Normal,   // normal with continuity correction, bounded by the Berry-Esseen inequality
    };

    explicit TotalDistribution(const RollShape& shape, std::uint64_t exactTotals = kExactTotals);

    const RollShape& shape() const { return m_shape; }
    const DieModel& die() const { return m_die; }
    Method method() const { return m_method; }
    // No chance of a total at most or at least some value differs from the truth by more than this,
    // rounding aside (below 1e-15 for Exact); a chance between two totals, as the difference of two
    // of those, by at most twice this.
    double errorBound() const { return m_errorBound; }

    std::int64_t minimum() const { return m_offset; }
    std::int64_t maximum() const { return m_offset + static_cast<std::int64_t>(m_span); }
    double mean() const;
    double standardDeviation() const;

    // Chances of one repetition's total; any total is allowed, outside the range they are 0 or 1.
    double atMost(std::int64_t total) const;
    double atLeast(std::int64_t total) const;
    double between(std::int64_t lo, std::int64_t hi) const;
    double equalTo(std::int64_t total) const { return between(total, total); }

    // That at least one of the shape's repetitions reaches target; stable for tiny chances and many tries.
    double anyReaches(std::int64_t target) const;

private:
    // P(sum of faces above their minimum <= k), k from 0 to m_span.
    double spanAtMost(std::uint64_t k) const;
    double spanAtLeast(std::uint64_t k) const;
    double normalAtMost(double x) const;

    RollShape m_shape;
    DieModel m_die;
    Method m_method = Method::Exact;
    double m_errorBound = 0;
    std::int64_t m_offset = 0;
    std::uint64_t m_span = 0;
    // Exact: of the sum of faces less one; Grouped: of the sum of group numbers.
    std::uint64_t m_width = 1;  // faces per group
    std::uint64_t m_slack = 0;  // how far the faces of all dice may lie above their groups' first faces
    std::uint64_t m_first = 0;  // the first value held, when only a window about the mean is
    std::vector<double> m_atMost;
    std::vector<double> m_atLeast;
};

}  // namespace tumblecast::stats
