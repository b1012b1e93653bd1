#pragma once

#include <cstdint>
#include <memory>
#include <optional>
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

// How the chances of one repetition's faces are found: of their sum less its minimum, k from 0 to the span.
// One plan per way of finding them; a roll of another kind adds a plan of its own.
class SpanPlan {
public:
    enum class Method {
        Exact,
        Grouped,    // exact for dice whose faces are grouped into equal ranges, bounded by the ranges' width
        Normal,     // normal with continuity correction, bounded by the Berry-Esseen inequality
        Simulated,  // counted from rolls of the roll itself, bounded with 99.9 % confidence
    };

    virtual ~SpanPlan() = default;
    virtual Method method() const = 0;
    // How far any P(<= k) or P(>= k) may lie from the truth, rounding aside.
    virtual double errorBound() const = 0;
    virtual double atMost(std::uint64_t k) const = 0;
    virtual double atLeast(std::uint64_t k) const = 0;
};

// The plan for dice of one model, n at once: exact where the totals are few, or nearly all their chance lies
// among few; else grouped faces or the normal curve, whichever bound is smaller.
std::shared_ptr<const SpanPlan> planFor(const DieModel& die, std::uint64_t n, std::uint64_t exactTotals);

// The distribution of one repetition's grand total.
class TotalDistribution {
public:
    using Method = SpanPlan::Method;

    explicit TotalDistribution(const RollShape& shape, std::uint64_t exactTotals = kExactTotals);
    // The distribution of a roll of another kind, whose plan found the chances of its totals minimum to
    // minimum + span: repeated times times, its faces those of dice of sides sides.
    struct Found {
        std::shared_ptr<const SpanPlan> plan;
        std::int64_t minimum = 0;
        std::uint64_t span = 0;
        double mean = 0;
        double standardDeviation = 0;
        std::uint64_t sides = 1;
        std::uint64_t times = 1;
    };
    explicit TotalDistribution(const Found& found);

    const RollShape& shape() const { return m_shape; }
    const DieModel& die() const { return m_die; }
    Method method() const { return m_plan ? m_plan->method() : Method::Exact; }
    // No chance of a total at most or at least some value differs from the truth by more than this,
    // rounding aside (below 1e-15 for Exact); a chance between two totals, as the difference of two
    // of those, by at most twice this.
    double errorBound() const { return m_plan ? m_plan->errorBound() : 0.0; }

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
    RollShape m_shape;
    DieModel m_die;
    std::int64_t m_offset = 0;
    std::uint64_t m_span = 0;
    std::shared_ptr<const SpanPlan> m_plan;  // none without dice
    std::optional<double> m_mean;            // found with the plan, when it is not the shape's
    std::optional<double> m_sd;
};

}  // namespace tumblecast::stats
