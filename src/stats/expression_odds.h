#pragma once

#include <cstdint>
#include <vector>

#include "notation/expression.h"
#include "stats/term_odds.h"

namespace tumblecast::stats {

// What a simulation may roll, in dice, when the exact odds cost too much.
struct SimulationBudget {
    double dice = 1e8;
    std::uint64_t minSamples = 200;
    std::uint64_t maxSamples = 1'000'000;
    double seconds = 0.6;  // it stops sooner, with what it has, when its rolls take longer
};

// The distribution of one repetition's total of a notation roll, from the generator's exact face weights.
// Exact where its cost is bounded (terms by convolution, keep and drop by order statistics, explosions to
// their cap); otherwise estimated from rolls of the expression itself, with the Dvoretzky-Kiefer-Wolfowitz
// bound on its error at 99.9 % confidence, or, for sums without keep or drop where that bound is smaller,
// by the normal distribution with the Berry-Esseen bound.
class ExpressionOdds {
public:
    enum class Method { Exact, Normal, Simulated };

    explicit ExpressionOdds(const notation::Expression& expression, const OddsBudget& budget = {},
                            const SimulationBudget& simulation = {});

    Method method() const { return m_method; }
    // No chance of a total at most or at least some value is off by more than this, rounding aside
    // (for Exact: the chance of explosions deeper than were followed); with 99.9 % confidence when
    // Simulated, for certain when Normal.
    double errorBound() const { return m_errorBound; }
    std::uint64_t samples() const { return m_samples.size(); }
    // The chance that a repetition has a die that explodes as often as the cap allows, so that an
    // explosion without a cap would have gone on: the mass beyond the cap. An upper bound.
    double beyondCap() const { return m_beyondCap; }

    // What the roll can show at all, the caps included.
    std::int64_t minimum() const { return m_minimum; }
    std::int64_t maximum() const { return m_maximum; }
    // The totals that carry any chance here: the rows of a table.
    std::int64_t firstLikely() const;
    std::int64_t lastLikely() const;

    double mean() const { return m_mean; }
    double standardDeviation() const { return m_sd; }

    double atMost(std::int64_t total) const;
    double atLeast(std::int64_t total) const;
    double equalTo(std::int64_t total) const;
    // That at least one of times repetitions reaches target.
    double anyReaches(std::int64_t target, std::uint64_t times) const;

private:
    // Samples the simulation would take.
    static std::uint64_t samplesFor(const notation::Expression& expression, const SimulationBudget& budget);
    static double simulationBound(std::uint64_t samples);
    void simulate(const notation::Expression& expression, std::uint64_t samples, std::uint64_t minSamples,
                  double seconds);
    // False when some term keeps or drops, or its die costs too much.
    bool approximateByNormal(const notation::Expression& expression, const OddsBudget& budget);
    double normalAtMost(double x) const;

    Method m_method = Method::Exact;
    double m_errorBound = 0;
    double m_beyondCap = 0;
    std::int64_t m_minimum = 0;
    std::int64_t m_maximum = 0;
    double m_mean = 0;
    double m_sd = 0;
    Pmf m_pmf;                     // Exact
    std::vector<double> m_atMost;  // Exact, running sums from each end
    std::vector<double> m_atLeast;
    std::vector<std::int64_t> m_samples;  // Simulated, sorted
};

}  // namespace tumblecast::stats
