#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "notation/expression.h"

namespace tumblecast::stats {

// Chances of the consecutive whole numbers from offset.
struct Pmf {
    std::int64_t offset = 0;
    std::vector<double> p;

    std::int64_t last() const { return offset + static_cast<std::int64_t>(p.size()) - 1; }
};

struct Moments {
    double mean = 0;
    double variance = 0;
};
Moments momentsOf(const Pmf& pmf);

// What computing a distribution may cost, in steps of about a multiply-add, and how wide it may grow.
struct OddsBudget {
    double steps = 3e8;
    std::uint64_t totals = std::uint64_t{1} << 21;
};

// One die's value as the roller makes it, from the generator's exact face weights: rerolled as the term
// says up to its cap, then exploded. Explosions are followed until the chance of going deeper is below
// 1e-16 for the term's dice, or to the cap; `lost` receives the chance left out (0 at the cap, where
// the roller stops too). Nothing when it would cost more than the budget.
std::optional<Pmf> dieOdds(const notation::DiceTerm& die, const OddsBudget& budget, double& lost);

// The term's value before its sign: the sum of its counted dice, or how many of them count as successes.
// Keeping and dropping go through order statistics: values are walked from the kept end, and each step
// places some of the dice still unplaced on that value with a binomial chance; only the kept ones add.
// moments receives the term's mean and variance, from one die's where the dice are all added or counted:
// a long convolution's rounding in the far tails would move them.
std::optional<Pmf> termOdds(const notation::DiceTerm& die, const OddsBudget& budget, double& lost,
                            Moments& moments);

// The distribution of a + b.
Pmf convolve(const Pmf& a, const Pmf& b);

}  // namespace tumblecast::stats
