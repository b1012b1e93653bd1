#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "engine/die_source.h"
#include "stats/convolution.h"
#include "stats/roll_report.h"
#include "stats/stats_text.h"
#include "stats/total_distribution.h"

using namespace tumblecast;
using namespace tumblecast::stats;

TEST(DieModel, WeighsFacesAsTheGeneratorMakesThem)
{
    for (const std::uint64_t sides : {7u, 999998u}) {
        std::vector<std::uint64_t> counts(sides + 1);
        for (std::uint32_t x = 0; x < DieModel::kValues; ++x) ++counts[dieFace(sides, x)];
        const DieModel die(sides);
        for (std::uint64_t f = 1; f <= sides; ++f)
            ASSERT_EQ(die.valuesIn(f, f), counts[f]) << sides << " " << f;
    }
}

// Every total's chances against all combinations of faces, for every small roll.
TEST(TotalDistribution, ExactChancesMatchEnumeration)
{
    for (std::uint64_t dice = 1; dice <= 4; ++dice) {
        for (std::uint64_t sides = 1; sides <= 8; ++sides) {
            for (const auto& [modify, totalModify] : {std::pair{0, 0}, {3, 0}, {0, 5}, {3, 5}}) {
                const RollShape shape{dice, sides, std::uint64_t(modify), std::uint64_t(totalModify), 10};
                const TotalDistribution dist(shape);
                SCOPED_TRACE(testing::Message()
                             << dice << "D" << sides << " +" << modify << " +" << totalModify);
                ASSERT_EQ(dist.method(), TotalDistribution::Method::Exact);
                std::map<std::int64_t, double> table;
                std::vector<std::uint64_t> faces(dice, 1);
                while (true) {
                    double p = 1;
                    std::int64_t total = totalModify;
                    for (const auto f : faces) {
                        p *= dist.die().probabilityIn(f, f);
                        total += static_cast<std::int64_t>(f) + modify;
                    }
                    table[total] += p;
                    std::size_t i = 0;
                    while (i < dice && ++faces[i] > sides) faces[i++] = 1;
                    if (i == dice) break;
                }
                EXPECT_EQ(dist.minimum(), table.begin()->first);
                EXPECT_EQ(dist.maximum(), table.rbegin()->first);
                double mean = 0;
                for (const auto& [t, p] : table) mean += t * p;
                double variance = 0;
                for (const auto& [t, p] : table) variance += (t - mean) * (t - mean) * p;
                EXPECT_NEAR(dist.mean(), mean, 1e-9);
                EXPECT_NEAR(dist.standardDeviation(), std::sqrt(variance), 1e-9);
                double below = 0;
                for (std::int64_t t = dist.minimum() - 1; t <= dist.maximum() + 1; ++t) {
                    const double p = table.count(t) ? table[t] : 0.0;
                    EXPECT_NEAR(dist.equalTo(t), p, 1e-12) << t;
                    EXPECT_NEAR(dist.atLeast(t), 1.0 - below, 1e-12) << t;
                    below += p;
                    EXPECT_NEAR(dist.atMost(t), below, 1e-12) << t;
                }
            }
        }
    }
}

// Sums too long to convolve plainly go through the Fourier transform: a lopsided coin's sum is binomial.
TEST(TotalDistribution, LongSumsMatchTheBinomial)
{
    const std::uint64_t n = 9999;
    const auto pmf = convolutionPower({0.7, 0.3}, n);
    ASSERT_EQ(pmf.size(), n + 1);
    for (std::uint64_t k = 0; k <= n; ++k) {
        const double exact = std::exp(std::lgamma(n + 1.0) - std::lgamma(k + 1.0) - std::lgamma(n - k + 1.0) +
                                      k * std::log(0.3) + (n - k) * std::log(0.7));
        ASSERT_NEAR(pmf[k], exact, 1e-9 * exact + 1e-15) << k;  // lgamma near 82000 keeps ~11 digits
    }
}

TEST(TotalDistribution, ThreeD6ReadsAsPlayersKnowIt)
{
    RollRequest request;
    request.dice = 3;
    request.sides = 6;
    request.modify = 4;  // typed, but its box is not ticked: it must not count
    request.times = 9999;
    const RollExpectation expected = expectationOf(shapeOf(request));
    const std::string text = rollReport(expected, "18", nothingRolled(expected)).copyText();
    EXPECT_NE(text.find("Minimum\t3\nMaximum\t18\nMean\t10.500\nStandard deviation\t2.958\nChances\texact\n"
                        "Total\tP(=)\tP(>=)\tP(<=)\n3\t0.46%\t100%\t0.46%\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\n10\t12.50%\t62.50%\t50.00%\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n\nTarget total\t18\nOne repetition reaches it\t0.46%\n"
                        "At least one of 9999 repetitions reaches it\t> 99.99999999999%\n\n"),
              std::string::npos)
        << text;
}

TEST(TotalDistribution, ChanceToReachOutsideTheRangeAndForTinyChances)
{
    const TotalDistribution dist(RollShape{20, 6, 1, 7, 9999});
    EXPECT_EQ(dist.atLeast(-5), 1.0);
    EXPECT_EQ(dist.anyReaches(dist.maximum() + 1000), 0.0);
    EXPECT_EQ(dist.anyReaches(0), 1.0);
    // All twenty dice on six: about 3e-16, below what 1 - p can hold; 9999 tries make it 9999 times that.
    const double p = dist.atLeast(dist.maximum());
    EXPECT_NEAR(p, std::pow(dist.die().probabilityIn(6, 6), 20), 1e-20);
    EXPECT_NEAR(dist.anyReaches(dist.maximum()) / (9999 * p), 1.0, 1e-6);
}

// Forced past the exact limit, each method keeps within the error it states, and that error is small
// enough to be worth showing: a window about the mean still exact, faces grouped, the normal curve.
TEST(TotalDistribution, ApproximationsKeepWithinTheirStatedError)
{
    struct Case {
        RollShape shape;
        std::uint64_t limit;
        TotalDistribution::Method method;
        double largestBound;
    };
    const Case cases[] = {{{2000, 20, 1, 0, 1}, 8192, TotalDistribution::Method::Exact, 1e-15},
                          {{3, 1000, 2, 9, 1}, 1000, TotalDistribution::Method::Grouped, 0.01},
                          {{400, 30, 0, 0, 1}, 2000, TotalDistribution::Method::Normal, 0.05}};
    for (const auto& c : cases) {
        const TotalDistribution exact(c.shape, std::uint64_t{1} << 20);
        const TotalDistribution approx(c.shape, c.limit);
        ASSERT_EQ(approx.method(), c.method);
        EXPECT_LT(approx.errorBound(), c.largestBound);
        const double tolerance = std::max(approx.errorBound(), 1e-12);  // the transform's rounding
        for (std::int64_t t = exact.minimum() - 1; t <= exact.maximum() + 1; ++t) {
            ASSERT_NEAR(approx.atMost(t), exact.atMost(t), tolerance) << t;
            ASSERT_NEAR(approx.atLeast(t), exact.atLeast(t), tolerance) << t;
            ASSERT_NEAR(approx.equalTo(t), exact.equalTo(t), 2 * tolerance) << t;
        }
    }
}

TEST(TotalDistribution, LargestRollGivesABoundedTableOverEveryTotal)
{
    const TotalDistribution dist(RollShape{9999, 999998, 999999, 999999, 9999});
    EXPECT_EQ(dist.minimum(), 9999LL * 1000000 + 999999);
    EXPECT_EQ(dist.maximum(), 9999LL * (999998 + 999999) + 999999);
    EXPECT_NE(dist.method(), TotalDistribution::Method::Exact);
    EXPECT_LT(dist.errorBound(), 0.01);
    const auto rows = expectedRows(dist);
    const RollExpectation largest = expectationOf(dist.shape());
    const ExpectedReport report = expectedReport(&largest);
    EXPECT_EQ(report.figures.back().shown(),
              "Chances: approximate (normal): P(>=) and P(<=) within 0.62 "
              "percentage points, other chances within twice that");
    EXPECT_EQ(report.table.heads[1], (Cell{"In the row", "P(in row)"}));
    ASSERT_LE(rows.size(), 200u);
    EXPECT_EQ(rows.front().low, dist.minimum());
    EXPECT_EQ(rows.back().high, dist.maximum());
    double sum = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            EXPECT_EQ(rows[i].low, rows[i - 1].high + 1);
        }
        sum += rows[i].inRow;
    }
    EXPECT_NEAR(sum, 1.0, 1e-9);
    EXPECT_NEAR(rows[rows.size() / 2].atLeast + rows[rows.size() / 2 - 1].atMost, 1.0, 1e-9);
}

// What a player reads: bounds instead of a misleading 0.00% or 100.00%, singulars, a summary line, and no
// test where a one-sided die leaves nothing to test.
TEST(RollReport, NumbersAndWordsThatDoNotMislead)
{
    const RollExpectation tenD10 = expectationOf({10, 10, 0, 0, 9999});
    const ExpectedReport table = expectedReport(&tenD10);
    EXPECT_EQ(table.table.heads[2], (Cell{"At least", "P(>=)"}));
    EXPECT_EQ(table.table.rows.front()[2].shown, "100%");
    EXPECT_EQ(table.table.rows.front()[1], (Cell{"< 0.01%", "0.0000000100%"}));
    EXPECT_EQ(table.table.rows.back()[3].shown, "100%");
    EXPECT_EQ(table.table.rows.back()[2].shown, "< 0.01%");
    EXPECT_EQ(table.table.rows[5][3].shown, "< 0.01%");
    for (const auto& row : table.table.rows)
        for (const Cell& cell : row) EXPECT_TRUE(cell.shown != "0.00%" && cell.shown != "100.00%");
    EXPECT_EQ(formatUp(0.1311, 2), "0.14");
    EXPECT_EQ(formatUp(0.13, 2), "0.13");
    EXPECT_EQ(formatChance(0.9999996, false).exact, "99.9999600%");

    const RollExpectation one = expectationOf({1, 1, 0, 0, 1});
    EXPECT_EQ(one.summary, "1 die of 1 sides, per-die modifier 0, total modifier 0, 1 repetition");
    EXPECT_TRUE(reachReport(&one, "1").any.name.empty());
    RolledSoFar rolled = nothingRolled(one);
    rolled.totals.add(1);
    rolled.faces.add(1);
    rolled.repetitions = 1;
    rolled.finished = true;
    const RolledReport report = rolledReport(&one, &rolled);
    EXPECT_EQ(report.deviation.shown(), "Rolled standard deviation: undefined for a single repetition");
    EXPECT_EQ(report.verdict.value.shown, "nothing to test: a one-sided die always shows 1");
    EXPECT_EQ(report.summary, "1D1 x 1: average 1.00, expected 1.00; nothing to test");
    EXPECT_EQ(report.totalsChart.countTop, 1);
}
