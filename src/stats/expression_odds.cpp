#include "stats/expression_odds.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

#include "engine/fan_out.h"
#include "engine/philox_source.h"
#include "notation/roller.h"
#include "stats/die_model.h"

namespace tumblecast::stats {

namespace {

// The simulation's own sequence, apart from any seed a player is likely to type.
constexpr std::uint64_t kSimulationSeed = 0x5EED0DD5;
constexpr double kConfidenceMiss = 0.001;
// Shevtsova's constant of the Berry-Esseen inequality for summands that are not identically distributed.
constexpr double kBerryEsseen = 0.5600;

Pmf negated(const Pmf& pmf)
{
    Pmf out{-pmf.last(), std::vector<double>(pmf.p.rbegin(), pmf.p.rend())};
    return out;
}

// Chance that one of the term's dice explodes as often as its cap allows.
double beyondCapOf(const notation::DiceTerm& die)
{
    if (!die.explode) return 0;
    const DieModel model(die.sides);
    const notation::FaceRun hits = notation::matchingFaces(*die.explode, die.lowestFace(), die.highestFace());
    if (hits.empty()) return 0;
    const double a = model.probabilityIn(static_cast<std::uint64_t>(hits.first - die.lowestFace() + 1),
                                         static_cast<std::uint64_t>(hits.last - die.lowestFace() + 1));
    return std::min(1.0,
                    static_cast<double>(die.count) * std::pow(a, static_cast<double>(die.explodeRoom() + 1)));
}

// Dice one repetition rolls on average, about: its first rolls and explosions.
double diceRolled(const notation::Expression& expression)
{
    double dice = 0;
    for (const auto& term : expression.terms)
        if (term.dice) dice += static_cast<double>(term.dice->count) * (term.dice->explode ? 2 : 1);
    return std::max(1.0, dice);
}

}  // namespace

ExpressionOdds::ExpressionOdds(const notation::Expression& expression, const OddsBudget& budget,
                               const SimulationBudget& simulation)
    : m_minimum(expression.minimum()), m_maximum(expression.maximum())
{
    Pmf total{0, {1.0}};
    double lost = 0, variance = 0;
    bool exact = true;
    for (const auto& term : expression.terms) {
        Pmf part{term.number, {1.0}};
        Moments moments{static_cast<double>(term.number), 0};
        if (term.dice) {
            m_beyondCap = std::min(1.0, m_beyondCap + beyondCapOf(*term.dice));
            const auto odds = termOdds(*term.dice, budget, lost, moments);
            if (!odds) {
                exact = false;
                break;
            }
            part = *odds;
        }
        m_mean += term.negative ? -moments.mean : moments.mean;
        variance += moments.variance;
        if (term.negative) part = negated(part);
        const double width = static_cast<double>(total.p.size() + part.p.size() - 1);
        if (static_cast<double>(total.p.size()) * static_cast<double>(part.p.size()) > budget.steps ||
            width > static_cast<double>(budget.totals)) {
            exact = false;
            break;
        }
        total = convolve(total, part);
    }
    if (!exact) {
        m_mean = 0;
        const std::uint64_t samples = samplesFor(expression, simulation);
        if (!approximateByNormal(expression, budget) || m_errorBound > simulationBound(samples))
            simulate(expression, samples, simulation.minSamples, simulation.seconds);
        return;
    }
    m_pmf = std::move(total);
    m_errorBound = lost;
    const std::size_t n = m_pmf.p.size();
    m_atMost.resize(n);
    m_atLeast.resize(n);
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) m_atMost[i] = std::min(1.0, sum += m_pmf.p[i]);
    sum = 0;
    for (std::size_t i = n; i-- > 0;) m_atLeast[i] = std::min(1.0, sum += m_pmf.p[i]);
    m_sd = std::sqrt(variance);
}

std::uint64_t ExpressionOdds::samplesFor(const notation::Expression& expression,
                                         const SimulationBudget& budget)
{
    const double wanted = budget.dice / diceRolled(expression);
    return static_cast<std::uint64_t>(
        std::clamp(wanted, static_cast<double>(budget.minSamples), static_cast<double>(budget.maxSamples)));
}

double ExpressionOdds::simulationBound(std::uint64_t samples)
{
    return std::sqrt(std::log(2.0 / kConfidenceMiss) / (2.0 * static_cast<double>(samples)));
}

bool ExpressionOdds::approximateByNormal(const notation::Expression& expression, const OddsBudget& budget)
{
    double mean = 0, variance = 0, third = 0, lost = 0;
    for (const auto& term : expression.terms) {
        if (!term.dice) {
            mean += static_cast<double>(term.negative ? -term.number : term.number);
            continue;
        }
        const notation::DiceTerm& die = *term.dice;
        if (die.keep != notation::Keep::All) return false;
        const auto one = dieOdds(die, budget, lost);
        if (!one) return false;
        // The moments of what one die adds: its value, or whether it counts as a success.
        double m = 0;
        const auto valueAt = [&](std::size_t i) {
            const std::int64_t v = one->offset + static_cast<std::int64_t>(i);
            return die.success ? (die.success->matches(v) ? 1.0 : 0.0) : static_cast<double>(v);
        };
        for (std::size_t i = 0; i < one->p.size(); ++i) m += one->p[i] * valueAt(i);
        double m2 = 0, m3 = 0;
        for (std::size_t i = 0; i < one->p.size(); ++i) {
            const double d = valueAt(i) - m;
            m2 += one->p[i] * d * d;
            m3 += one->p[i] * std::fabs(d) * d * d;
        }
        const auto n = static_cast<double>(die.count);
        mean += (term.negative ? -n : n) * m;
        variance += n * m2;
        third += n * m3;
    }
    if (variance <= 0) return false;
    m_method = Method::Normal;
    m_mean = mean;
    m_sd = std::sqrt(variance);
    m_errorBound = std::min(1.0, kBerryEsseen * third / std::pow(variance, 1.5) + lost);
    return true;
}

double ExpressionOdds::normalAtMost(double x) const
{
    return 0.5 * std::erfc(-(x - m_mean) / (m_sd * std::numbers::sqrt2));
}

void ExpressionOdds::simulate(const notation::Expression& expression, std::uint64_t n,
                              std::uint64_t minSamples, double seconds)
{
    m_method = Method::Simulated;
    const PhiloxSource source(kSimulationSeed);
    notation::Expression one = expression;
    one.times = n;
    m_samples.resize(n);
    // Rolled a chunk at a time on every core; a chunk started past the deadline rolls nothing, and the
    // samples end before it.
    constexpr std::uint64_t kChunk = 64;
    const std::uint64_t chunks = (n + kChunk - 1) / kChunk;
    std::vector<std::uint8_t> rolled(chunks, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::uint64_t kept = 0;
    fanOut(
        chunks, fanOutThreads(), 256,
        [&](std::uint64_t k) {
            if (k * kChunk >= minSamples && std::chrono::steady_clock::now() > deadline) return;
            const notation::Roller roller(one, source, 0);
            for (std::uint64_t r = k * kChunk; r < std::min(n, (k + 1) * kChunk); ++r)
                m_samples[r] = roller.total(r);
            rolled[k] = 1;
        },
        [&](std::uint64_t k) {
            if (!rolled[k]) return false;
            kept = std::min(n, (k + 1) * kChunk);
            return true;
        });
    n = kept;
    m_samples.resize(n);
    double sum = 0;
    for (const std::int64_t x : m_samples) sum += static_cast<double>(x);
    std::sort(m_samples.begin(), m_samples.end());
    m_mean = sum / static_cast<double>(n);
    double squares = 0;
    for (const std::int64_t x : m_samples)
        squares += (static_cast<double>(x) - m_mean) * (static_cast<double>(x) - m_mean);
    m_sd = n > 1 ? std::sqrt(squares / static_cast<double>(n - 1)) : 0.0;
    m_errorBound = simulationBound(n);
}

std::int64_t ExpressionOdds::firstLikely() const
{
    if (m_method == Method::Normal)
        return std::max(m_minimum, static_cast<std::int64_t>(std::floor(m_mean - 8 * m_sd)));
    return m_method == Method::Exact ? m_pmf.offset : m_samples.front();
}

std::int64_t ExpressionOdds::lastLikely() const
{
    if (m_method == Method::Normal)
        return std::min(m_maximum, static_cast<std::int64_t>(std::ceil(m_mean + 8 * m_sd)));
    return m_method == Method::Exact ? m_pmf.last() : m_samples.back();
}

double ExpressionOdds::atMost(std::int64_t total) const
{
    if (total < m_minimum) return 0.0;
    if (total >= m_maximum) return 1.0;
    if (m_method == Method::Normal) return normalAtMost(static_cast<double>(total) + 0.5);
    if (m_method == Method::Simulated) {
        const auto count = std::upper_bound(m_samples.begin(), m_samples.end(), total) - m_samples.begin();
        return static_cast<double>(count) / static_cast<double>(m_samples.size());
    }
    if (total < m_pmf.offset) return 0.0;
    if (total >= m_pmf.last()) return 1.0;
    const auto i = static_cast<std::size_t>(total - m_pmf.offset);
    // The nearer tail's own running sum keeps small chances precise.
    return i + 1 < m_atLeast.size() && m_atMost[i] > 0.5 ? 1.0 - m_atLeast[i + 1] : m_atMost[i];
}

double ExpressionOdds::atLeast(std::int64_t total) const
{
    if (total <= m_minimum) return 1.0;
    if (total > m_maximum) return 0.0;
    if (m_method == Method::Normal) return 1.0 - normalAtMost(static_cast<double>(total) - 0.5);
    if (m_method == Method::Simulated) {
        const auto count = m_samples.end() - std::lower_bound(m_samples.begin(), m_samples.end(), total);
        return static_cast<double>(count) / static_cast<double>(m_samples.size());
    }
    if (total <= m_pmf.offset) return 1.0;
    if (total > m_pmf.last()) return 0.0;
    const auto i = static_cast<std::size_t>(total - m_pmf.offset);
    return m_atLeast[i] > 0.5 ? 1.0 - m_atMost[i - 1] : m_atLeast[i];
}

double ExpressionOdds::equalTo(std::int64_t total) const
{
    if (total < m_minimum || total > m_maximum) return 0.0;
    if (m_method == Method::Normal)
        return std::max(0.0, normalAtMost(static_cast<double>(total) + 0.5) -
                                 normalAtMost(static_cast<double>(total) - 0.5));
    if (m_method == Method::Exact) {
        if (total < m_pmf.offset || total > m_pmf.last()) return 0.0;
        return m_pmf.p[static_cast<std::size_t>(total - m_pmf.offset)];
    }
    const auto [lo, hi] = std::equal_range(m_samples.begin(), m_samples.end(), total);
    return static_cast<double>(hi - lo) / static_cast<double>(m_samples.size());
}

double ExpressionOdds::anyReaches(std::int64_t target, std::uint64_t times) const
{
    const double p = atLeast(target);
    if (p >= 1.0) return 1.0;
    return -std::expm1(static_cast<double>(times) * std::log1p(-p));
}

}  // namespace tumblecast::stats
