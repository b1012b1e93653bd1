#include "stats/term_odds.h"

#include <algorithm>
#include <cmath>

#include "stats/convolution.h"
#include "stats/die_model.h"

namespace tumblecast::stats {

using notation::DiceTerm;
using notation::FaceRun;
using notation::Keep;

namespace {

// Chance below which explosions are no longer followed, for all of a term's dice together.
constexpr double kNegligible = 1e-16;

std::vector<double> faceWeights(const DiceTerm& die)
{
    const DieModel model(die.sides);
    return model.groupedProbabilities(1);
}

double massIn(const std::vector<double>& w, const FaceRun& run, std::int64_t lowest)
{
    double sum = 0;
    for (std::int64_t f = run.first; f <= run.last; ++f) sum += w[static_cast<std::size_t>(f - lowest)];
    return sum;
}

// Trims chances too small to matter from both ends, adding what they held to lost.
void trim(Pmf& pmf, double& lost)
{
    constexpr double kTiny = 1e-300;
    std::size_t first = 0, end = pmf.p.size();
    while (first + 1 < end && pmf.p[first] < kTiny) lost += pmf.p[first++];
    while (end - 1 > first && pmf.p[end - 1] < kTiny) lost += pmf.p[--end];
    pmf.p = std::vector<double>(pmf.p.begin() + static_cast<std::ptrdiff_t>(first),
                                pmf.p.begin() + static_cast<std::ptrdiff_t>(end));
    pmf.offset += static_cast<std::int64_t>(first);
}

// Binomial chances of 0 to below of n trials at chance p each, and of below or more.
void binomial(std::uint64_t n, double p, std::uint64_t below, std::vector<double>& out, double& tail)
{
    out.assign(below, 0.0);
    if (p >= 1.0) {
        tail = 1.0;
        return;
    }
    const double lp = std::log(p), lq = std::log1p(-p);
    const double lgn = std::lgamma(static_cast<double>(n) + 1);
    double sum = 0;
    for (std::uint64_t c = 0; c < below && c <= n; ++c) {
        const double k = static_cast<double>(c);
        out[c] = std::exp(lgn - std::lgamma(k + 1) - std::lgamma(static_cast<double>(n - c) + 1) + k * lp +
                          static_cast<double>(n - c) * lq);
        sum += out[c];
    }
    tail = std::max(0.0, 1.0 - sum);
}

// Keep `kept` of `count` dice with these values (ascending) and chances, from the high end or the low end,
// and add up score[i] of each kept die on value i.
Pmf keptScore(const std::vector<std::int64_t>& values, const std::vector<double>& chances,
              const std::vector<std::uint64_t>& score, std::uint64_t count, std::uint64_t kept, bool high)
{
    const std::size_t m = values.size();
    const std::uint64_t widest = *std::max_element(score.begin(), score.end());
    const std::size_t width = static_cast<std::size_t>(kept * widest + 1);
    // dp[j][s]: j dice placed so far, all kept, scoring s.
    std::vector<std::vector<double>> dp(kept, std::vector<double>(width, 0.0));
    std::vector<double> done(width, 0.0);
    dp[0][0] = 1.0;
    std::vector<double> remaining(m + 1, 0.0);
    for (std::size_t step = m; step-- > 0;) {
        const std::size_t i = high ? m - 1 - step : step;
        remaining[step] = remaining[step + 1] + chances[i];
    }
    std::vector<double> chance;
    double tail = 0;
    for (std::size_t step = 0; step < m; ++step) {
        const std::size_t i = high ? m - 1 - step : step;
        const double p = step + 1 == m ? 1.0 : std::min(1.0, chances[i] / remaining[step]);
        const std::uint64_t sc = score[i];
        std::vector<std::vector<double>> next(kept, std::vector<double>(width, 0.0));
        for (std::uint64_t j = 0; j < kept; ++j) {
            const std::uint64_t open = kept - j;  // kept places still free
            binomial(count - j, p, open, chance, tail);
            const std::size_t reach = static_cast<std::size_t>(j * widest + 1);
            for (std::size_t s = 0; s < reach; ++s) {
                const double here = dp[j][s];
                if (here == 0) continue;
                for (std::uint64_t c = 0; c < open; ++c) next[j + c][s + c * sc] += here * chance[c];
                done[s + open * sc] += here * tail;
            }
        }
        dp.swap(next);
    }
    return Pmf{0, done};
}

}  // namespace

std::optional<Pmf> dieOdds(const DiceTerm& die, const OddsBudget& budget, double& lost)
{
    const std::int64_t lowest = die.lowestFace(), highest = die.highestFace();
    const std::vector<double> w = faceWeights(die);
    std::vector<double> first = w;  // the roll that stands
    if (die.reroll) {
        const FaceRun again = notation::matchingFaces(*die.reroll, lowest, highest);
        const double q = massIn(w, again, lowest);
        const auto rerolls = static_cast<double>(die.rerollRoom());
        // Each face that stays after any of the rolls; a face to reroll stays only on the last one.
        const double stays = q <= 0.0 ? 1.0 : (1.0 - std::pow(q, rerolls + 1)) / (1.0 - q);
        const double last = std::pow(q, rerolls);
        for (std::int64_t f = lowest; f <= highest; ++f) {
            const auto k = static_cast<std::size_t>(f - lowest);
            first[k] = w[k] * (f >= again.first && f <= again.last ? last : stays);
        }
    }
    Pmf pmf{lowest, first};
    if (!die.explode) return pmf;
    const FaceRun hits = notation::matchingFaces(*die.explode, lowest, highest);
    if (hits.empty()) return pmf;
    const double a = massIn(w, hits, lowest);
    std::uint64_t depth = die.explodeRoom();
    const double dice = static_cast<double>(die.count);
    if (a < 1.0) {
        const double d = std::ceil(std::log(kNegligible / dice) / std::log(a));
        if (d < static_cast<double>(depth)) depth = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(d));
    }
    const auto faces = static_cast<double>(highest - lowest + 1);
    const auto deep = static_cast<double>(depth);
    const double cost = deep * faces * (1 + static_cast<double>(hits.size()) * deep / 2);
    if (cost > budget.steps || faces * static_cast<double>(depth + 1) > static_cast<double>(budget.totals))
        return std::nullopt;
    if (depth < die.explodeRoom()) lost += dice * std::pow(a, static_cast<double>(depth));
    // chain: a fresh roll with k explosions still allowed, starting with none.
    const auto explodeOnce = [&](const Pmf& rest, const std::vector<double>& roll) {
        Pmf out{lowest + std::min<std::int64_t>(0, hits.first + rest.offset - lowest), {}};
        const std::int64_t top = std::max(highest, hits.last + rest.last());
        out.p.assign(static_cast<std::size_t>(top - out.offset + 1), 0.0);
        for (std::int64_t f = lowest; f <= highest; ++f) {
            const double pf = roll[static_cast<std::size_t>(f - lowest)];
            if (f < hits.first || f > hits.last) {
                out.p[static_cast<std::size_t>(f - out.offset)] += pf;
                continue;
            }
            for (std::size_t v = 0; v < rest.p.size(); ++v)
                out.p[static_cast<std::size_t>(f + rest.offset - out.offset) + v] += pf * rest.p[v];
        }
        return out;
    };
    Pmf chain{lowest, w};
    for (std::uint64_t k = 1; k < depth; ++k) chain = explodeOnce(chain, w);
    pmf = explodeOnce(chain, first);
    trim(pmf, lost);
    return pmf;
}

Moments momentsOf(const Pmf& pmf)
{
    // About the first value, so that large offsets lose no precision.
    double mass = 0, m1 = 0, m2 = 0;
    for (std::size_t i = 0; i < pmf.p.size(); ++i) {
        const double x = static_cast<double>(i);
        mass += pmf.p[i];
        m1 += pmf.p[i] * x;
        m2 += pmf.p[i] * x * x;
    }
    mass = std::max(mass, 1e-300);
    m1 /= mass;
    return {static_cast<double>(pmf.offset) + m1, std::max(0.0, m2 / mass - m1 * m1)};
}

std::optional<Pmf> termOdds(const DiceTerm& die, const OddsBudget& budget, double& lost, Moments& moments)
{
    const auto one = dieOdds(die, budget, lost);
    if (!one) return std::nullopt;
    const std::uint64_t n = die.count;
    const auto dice = static_cast<double>(n);
    if (die.keep == Keep::All && !die.success) {
        const Moments each = momentsOf(*one);
        moments = {dice * each.mean, dice * each.variance};
        const double width = static_cast<double>(one->p.size() - 1) * static_cast<double>(n) + 1;
        if (width > static_cast<double>(budget.totals)) return std::nullopt;
        Pmf sum{one->offset * static_cast<std::int64_t>(n), convolutionPower(one->p, n)};
        trim(sum, lost);
        return sum;
    }
    std::vector<std::int64_t> values;
    std::vector<double> chances;
    for (std::size_t i = 0; i < one->p.size(); ++i) {
        if (one->p[i] <= 0) continue;
        values.push_back(one->offset + static_cast<std::int64_t>(i));
        chances.push_back(one->p[i]);
    }
    std::vector<std::uint64_t> score(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        score[i] = die.success ? (die.success->matches(values[i]) ? 1 : 0)
                               : static_cast<std::uint64_t>(values[i] - values.front());
    if (die.keep == Keep::All) {
        double p = 0;
        for (std::size_t i = 0; i < values.size(); ++i) p += score[i] * chances[i];
        if (static_cast<double>(n) > static_cast<double>(budget.totals)) return std::nullopt;
        p = std::min(1.0, p);
        moments = {dice * p, dice * p * (1 - p)};
        return Pmf{0, convolutionPower({1.0 - p, p}, n)};
    }
    const auto k = static_cast<double>(die.kept);
    const double range = static_cast<double>(*std::max_element(score.begin(), score.end()));
    const double cost = static_cast<double>(values.size()) * (range * k * k * k / 6 + k * k);
    // The table of partial sums is kept twice, one row per kept die.
    constexpr double kMaxCells = 4e6;
    if (cost > budget.steps || range * k + 1 > static_cast<double>(budget.totals) ||
        (range * k + 1) * k > kMaxCells)
        return std::nullopt;
    Pmf kept = keptScore(values, chances, score, n, die.kept, die.keep == Keep::Highest);
    if (!die.success) kept.offset = values.front() * static_cast<std::int64_t>(die.kept);
    trim(kept, lost);
    moments = momentsOf(kept);
    return kept;
}

Pmf convolve(const Pmf& a, const Pmf& b)
{
    Pmf out{a.offset + b.offset, std::vector<double>(a.p.size() + b.p.size() - 1, 0.0)};
    for (std::size_t i = 0; i < a.p.size(); ++i)
        for (std::size_t j = 0; j < b.p.size(); ++j) out.p[i + j] += a.p[i] * b.p[j];
    return out;
}

}  // namespace tumblecast::stats
