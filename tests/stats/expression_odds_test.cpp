#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <variant>

#include "engine/philox_source.h"
#include "notation/parser.h"
#include "notation/roller.h"
#include "stats/die_model.h"
#include "stats/expression_odds.h"

using namespace tumblecast;
using namespace tumblecast::notation;
using namespace tumblecast::stats;

namespace {

Expression parsed(std::string_view text) { return std::get<Expression>(parse(text)); }

using Table = std::map<std::int64_t, double>;

// One die's values, following the roller's rules roll by roll with the generator's face weights. A fresh
// roll with k explosions left gives the same values wherever it happens, so each k is worked out once.
Table walkDie(const DiceTerm& die)
{
    const DieModel model(die.sides);
    const auto weight = [&](std::int64_t face) {
        const auto f = static_cast<std::uint64_t>(face - die.lowestFace() + 1);
        return model.probabilityIn(f, f);
    };
    std::vector<Table> fresh(die.explodeRoom() + 1);  // a fresh roll and its explosions, k left
    for (std::uint64_t k = 0; k <= die.explodeRoom(); ++k) {
        for (std::int64_t face = die.lowestFace(); face <= die.highestFace(); ++face) {
            if (k == 0 || !die.explode || !die.explode->matches(face)) {
                fresh[k][face] += weight(face);
                continue;
            }
            for (const auto& [v, p] : fresh[k - 1])
                if (p * weight(face) > 1e-30) fresh[k][face + v] += p * weight(face);
        }
    }
    Table out;
    std::function<void(std::uint64_t, double)> first = [&](std::uint64_t rerolls, double p) {
        for (std::int64_t face = die.lowestFace(); face <= die.highestFace(); ++face) {
            const double pf = p * weight(face);
            if (die.reroll && rerolls < die.rerollRoom() && die.reroll->matches(face)) {
                if (pf > 1e-30) first(rerolls + 1, pf);
            } else if (die.explode && die.explodeRoom() > 0 && die.explode->matches(face)) {
                for (const auto& [v, pv] : fresh[die.explodeRoom() - 1]) out[face + v] += pf * pv;
            } else {
                out[face] += pf;
            }
        }
    };
    first(0, 1.0);
    return out;
}

// A term by every combination of its dice's values, kept and counted by sorting them.
Table enumerateTerm(const Term& term)
{
    Table out;
    if (!term.dice) {
        out[term.negative ? -term.number : term.number] = 1;
        return out;
    }
    const DiceTerm& die = *term.dice;
    // Values rarer than this change no chance by 1e-13.
    std::vector<std::pair<std::int64_t, double>> values;
    for (const auto& value : walkDie(die))
        if (value.second > 1e-16) values.push_back(value);
    std::vector<std::size_t> pick(die.count, 0);
    while (true) {
        std::vector<std::int64_t> dice;
        double p = 1;
        for (const std::size_t i : pick) {
            dice.push_back(values[i].first);
            p *= values[i].second;
        }
        std::sort(dice.begin(), dice.end(), std::greater<>());
        if (die.keep == Keep::Lowest) std::reverse(dice.begin(), dice.end());
        std::int64_t sum = 0;
        for (std::size_t k = 0; k < die.counted(); ++k)
            sum += die.success ? (die.success->matches(dice[k]) ? 1 : 0) : dice[k];
        out[term.negative ? -sum : sum] += p;
        std::size_t k = 0;
        while (k < pick.size() && ++pick[k] == values.size()) pick[k++] = 0;
        if (k == pick.size()) break;
    }
    return out;
}

Table enumerate(const Expression& e)
{
    Table total{{0, 1.0}};
    for (const Term& term : e.terms) {
        Table next;
        for (const auto& [a, pa] : total)
            for (const auto& [b, pb] : enumerateTerm(term)) next[a + b] += pa * pb;
        total.swap(next);
    }
    return total;
}

}  // namespace

TEST(ExpressionOdds, ExactChancesMatchEnumeration)
{
    std::vector<std::string> texts;
    // Every small roll with each kind of modifier.
    for (int n = 1; n <= 4; ++n) {
        for (int sides = 2; sides <= 6; ++sides) {
            for (const std::string modifier :
                 {"", "kh1", "kl2", "dh1", "dl2", ">=2", "<2kh2", "r1", "ro<=2", "!", "!>=2kl1"}) {
                const std::string text = std::to_string(n) + "d" + std::to_string(sides) + modifier;
                if ((modifier.empty() || modifier[0] != '!' || n <= 2) &&
                    std::holds_alternative<Expression>(parse(text)))
                    texts.push_back(text);
            }
        }
    }
    for (const std::string_view text :
         {"1d1",       "3d4",       "4d6kh3",        "4d6dl1",    "3d6kl1",     "4d5dh2",
          "2d20kh1+5", "3dF+2",     "4dF>=1",        "3d6>=5",    "4d6kh2>=4",  "3d6r1",
          "2d6ro<=2",  "2d6!",      "2d4!>=3kh1",    "2d6r1!>=5", "1d20+1d4-1", "-2d4+3",
          "2dF!",      "3d3r<2kl1", "3d7dl1-1d3kh1", "2d6!kl1>=6"})
        texts.emplace_back(text);
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const Expression e = parsed(text);
        const ExpressionOdds odds(e);
        ASSERT_EQ(odds.method(), ExpressionOdds::Method::Exact);
        const Table table = enumerate(e);
        double below = 0, mean = 0;
        for (const auto& [total, p] : table) {
            below += p;
            mean += p * static_cast<double>(total);
            ASSERT_NEAR(odds.equalTo(total), p, 1e-12) << total;
            ASSERT_NEAR(odds.atMost(total), below, 1e-12) << total;
            ASSERT_NEAR(odds.atLeast(total + 1), 1 - below, 1e-12) << total;
        }
        EXPECT_NEAR(odds.mean(), mean, 1e-9);
        EXPECT_GE(table.begin()->first, odds.minimum());
        EXPECT_LE(table.rbegin()->first, odds.maximum());
    }
}

TEST(ExpressionOdds, PublishedValuesAndTargets)
{
    EXPECT_NEAR(ExpressionOdds(parsed("4d6dl1")).mean(), 12.2446, 5e-5);
    EXPECT_NEAR(ExpressionOdds(parsed("4d6kh3")).standardDeviation(), 2.8468, 5e-5);
    EXPECT_NEAR(ExpressionOdds(parsed("2d20kh1")).atLeast(15), 0.5100, 5e-6);
    EXPECT_NEAR(ExpressionOdds(parsed("2d20kl1")).atLeast(15), 0.0900, 5e-6);
    EXPECT_NEAR(ExpressionOdds(parsed("10d10>=8")).mean(), 3.0, 1e-6);
    // 8d6!: a die's mean is 3.5 * 6/5 once explosions go on (the cap leaves 1e-78 out).
    const ExpressionOdds exploding(parsed("8d6!"));
    EXPECT_NEAR(exploding.mean(), 8 * 4.2, 1e-5);
    EXPECT_LT(exploding.beyondCap(), 1e-70);
    EXPECT_LT(exploding.errorBound(), 1e-15);
    // Explosions followed until deeper ones are rarer than 1e-16 for all the dice, where the cap would cost
    // more.
    const ExpressionOdds coins(parsed("9999d2!"));
    EXPECT_EQ(coins.method(), ExpressionOdds::Method::Exact);
    EXPECT_GT(coins.errorBound(), 0);
    EXPECT_LT(coins.errorBound(), 1e-15);
    EXPECT_NEAR(coins.mean(), 9999 * 3.0, 1e-4);  // a die is 2 per 2 rolled, then a 1
    EXPECT_NEAR(coins.standardDeviation(), std::sqrt(9999 * 8.0), 1e-4);
    const ExpressionOdds coin(parsed("1d2"));
    EXPECT_NEAR(coin.anyReaches(2, 3), 0.875, 1e-6);
    EXPECT_EQ(coin.anyReaches(1, 3), 1.0);
    EXPECT_EQ(coin.anyReaches(3, 3), 0.0);
}

// Where the exact table would cost too much, the approximations keep within the error they state.
TEST(ExpressionOdds, ApproximationsKeepWithinTheirStatedBounds)
{
    const struct {
        std::string_view text;
        OddsBudget budget;
        ExpressionOdds::Method method;
    } rows[] = {
        {"200d6+3", {3e8, 100}, ExpressionOdds::Method::Normal},
        {"300d10>=7", {3e8, 10}, ExpressionOdds::Method::Normal},
        {"20d6kh10-5", {10, 100}, ExpressionOdds::Method::Simulated},
        {"6d6!kl3", {10, 100}, ExpressionOdds::Method::Simulated},
    };
    const SimulationBudget simulation{2e5, 200, 20000, 1e9};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const Expression e = parsed(row.text);
        const ExpressionOdds exact(e);
        const ExpressionOdds approximate(e, row.budget, simulation);
        ASSERT_EQ(exact.method(), ExpressionOdds::Method::Exact);
        ASSERT_EQ(approximate.method(), row.method);
        EXPECT_GT(approximate.errorBound(), 0);
        EXPECT_LT(approximate.errorBound(), 0.06);
        for (std::int64_t t = exact.firstLikely(); t <= exact.lastLikely(); ++t) {
            ASSERT_NEAR(approximate.atMost(t), exact.atMost(t), approximate.errorBound()) << t;
            ASSERT_NEAR(approximate.atLeast(t), exact.atLeast(t), approximate.errorBound()) << t;
        }
        EXPECT_NEAR(approximate.mean(), exact.mean(), 0.05 * exact.standardDeviation());
    }
    // The window's largest roll: the normal bound of the generator's own die.
    const ExpressionOdds largest(parsed("9999d999998"));
    EXPECT_EQ(largest.method(), ExpressionOdds::Method::Normal);
    EXPECT_LT(largest.errorBound(), 0.01);
    EXPECT_NEAR(largest.mean(), 9999 * DieModel(999998).mean(), 1e-3);
}

// The roller and the odds read the rules alike: rolled totals stay in range and average to the mean.
TEST(ExpressionOdds, RolledTotalsAgreeWithTheOdds)
{
    const PhiloxSource source(11);
    for (const std::string_view text : {"4d6r1!kh3", "5dF!<0", "3d8ro<=2dl1+1d4", "12d6>=5kh6"}) {
        SCOPED_TRACE(text);
        Expression e = parsed(text);
        e.times = 20000;
        const ExpressionOdds odds(e);
        const Roller roller(e, source, 0);
        double sum = 0;
        for (std::uint64_t r = 0; r < e.times; ++r) {
            const std::int64_t total = roller.total(r);
            ASSERT_GE(total, odds.minimum());
            ASSERT_LE(total, odds.maximum());
            ASSERT_GT(odds.equalTo(total), 0) << total;
            sum += static_cast<double>(total);
        }
        EXPECT_NEAR(sum / static_cast<double>(e.times), odds.mean(),
                    5 * odds.standardDeviation() / std::sqrt(20000.0));
    }
}
