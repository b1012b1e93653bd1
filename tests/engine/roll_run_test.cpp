#include <gtest/gtest.h>

#include <cmath>

#include "engine/roll_run.h"
#include "engine/run_progress.h"
#include "roll_helpers.h"
#include "scripted_source.h"

using namespace tumblecast;
using test::Recorder;
using test::ScriptedSource;

// The die is computed in double: in float, 999998 sides times the largest value below 1 rounds up to a
// face the die does not have.
TEST(RollRun, DiceReachBothEndsOfTheirFaces)
{
    const float top = std::nextafter(1.0f, 0.0f);
    for (const std::uint64_t sides : {1ull, 6ull, 999998ull}) {
        EXPECT_EQ(dieValue(sides, 0.0f), 1u) << sides;
        EXPECT_EQ(dieValue(sides, top), sides) << sides;
    }
}

TEST(RollRun, LargestValuesAreWrittenInFullDigits)
{
    ScriptedSource source(999998, std::vector<std::uint64_t>(9999, 999998));
    Recorder out;
    runRoll(test::largestRequest(1), source, out);
    EXPECT_EQ(out.record.line(0), "999998 + 999999 = 1999997");
    EXPECT_EQ(out.record.line(10000), "Total:19997970003 + 999999 = 19998970002");
    EXPECT_EQ(out.lastCount, 9999u);
}

// Over a whole run the bar starts empty, never goes back, stays on its scale and is full at the last die.
TEST(RunProgress, FillsOnceOverTheWholeRun)
{
    const std::pair<std::uint64_t, std::uint64_t> runs[] = {{7, 1}, {3, 10}, {100, 7}, {1, 1}};
    for (const auto& [dice, times] : runs) {
        SCOPED_TRACE(std::to_string(dice) + "x" + std::to_string(times));
        EXPECT_EQ(runProgress(0, dice, 0, times), 0u);
        std::uint64_t last = 0;
        for (std::uint64_t done = 0; done < times; ++done)
            for (std::uint64_t soFar = 1; soFar <= dice; ++soFar) {
                const std::uint64_t value = runProgress(done, dice, soFar, times);
                ASSERT_GE(value, last) << done << " " << soFar;
                ASSERT_LE(value, dice);
                last = value;
            }
        EXPECT_EQ(last, dice);
    }
    EXPECT_EQ(runProgress(9998, 9999, 9999, 9999), 9999u);
}
