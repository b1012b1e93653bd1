#include <gtest/gtest.h>

#include <cmath>

#include "stats/chi_square.h"

using namespace tumblecast::stats;

// Critical values from published chi-square tables, both branches of the incomplete gamma function.
TEST(ChiSquare, PValuesMatchPublishedTables)
{
    struct Row {
        double statistic, df, p;
    };
    const Row rows[] = {{3.841, 1, 0.05},     {6.635, 1, 0.01},   {18.307, 10, 0.05},
                        {124.342, 100, 0.05}, {15.086, 5, 0.01},  {0.004, 1, 0.95},
                        {2.558, 10, 0.99},    {10.828, 1, 0.001}, {149.449, 100, 0.001}};
    for (const auto& r : rows)
        EXPECT_NEAR(chiSquarePValue(r.statistic, r.df), r.p, r.p * 2e-3) << r.statistic;
    EXPECT_EQ(chiSquarePValue(0, 3), 1.0);
    EXPECT_NEAR(upperGammaQ(1, 2), std::exp(-2.0), 1e-14);
    // Far in the tail the p-value stays a positive number rather than rounding to nothing or below zero.
    const double far = chiSquarePValue(400, 10);
    EXPECT_GT(far, 0);
    EXPECT_LT(far, 1e-70);
}

TEST(ChiSquare, SparseBinsAreMergedIntoNeighbours)
{
    // Ten observations over four bins expecting 0.1, 0.2, 2 and 7.7 of them: the first three merge into one
    // bin that reaches 5 only with the last, so nothing can be tested.
    EXPECT_FALSE(chiSquareTest({0, 0, 3, 7}, {0.01, 0.02, 0.2, 0.77}).tested());
    // 100 observations: bins expecting 1, 1, 48, 50 become (50, 50): one degree of freedom.
    const auto merged = chiSquareTest({2, 0, 48, 50}, {0.01, 0.01, 0.48, 0.5});
    EXPECT_EQ(merged.degreesOfFreedom, 1);
    EXPECT_NEAR(merged.statistic, 0.0, 1e-12);
    // A trailing sparse bin joins the one before it instead of being dropped with its observations.
    const auto tail = chiSquareTest({50, 40, 10}, {0.5, 0.49, 0.01});
    EXPECT_EQ(tail.degreesOfFreedom, 1);
    EXPECT_NEAR(tail.statistic, 0.0, 1e-12);
}
