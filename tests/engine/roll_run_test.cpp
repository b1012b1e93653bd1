#include <gtest/gtest.h>

#include <charconv>
#include <string>
#include <vector>

#include "engine/random_source.h"
#include "engine/roll_run.h"
#include "engine/run_progress.h"
#include "named_rows.h"
#include "scripted_source.h"

using namespace tumblecast;
using tumblecast::test::ScriptedSource;

namespace {

// Keeps the record as the result box would, and what the progress bar was told.
class Recorder final : public RollObserver {
public:
    void repetitionStarted(std::uint64_t dice) override { starts.push_back(dice); }
    void append(std::string_view text) override { record += text; }
    void dieRolled(std::uint64_t diceSoFar) override { lastCount = diceSoFar; }
    void repetitionFinished() override { ++finished; }

    std::string record;
    std::vector<std::uint64_t> starts;
    std::uint64_t lastCount = 0;
    int finished = 0;
};

const std::string kSep = "--------------------------------";

}  // namespace

TEST(RollRun, LargestValuesAreWrittenInFullDigits)
{
    const RollRequest request{.dice = 9999,
                              .sides = 999998,
                              .perDie = true,
                              .modify = 999999,
                              .modifyText = "999999",
                              .totalModify = 999999,
                              .totalModifyText = "999999"};
    ScriptedSource source(999998, std::vector<std::uint64_t>(9999, 999998));
    Recorder out;
    runRoll(request, source, out);
    EXPECT_EQ(out.record.substr(0, 25), "999998 + 999999 = 1999997");
    EXPECT_NE(out.record.find("\r\nTotal:19997970003 + 999999 = 19998970002\r\n"), std::string::npos);
    EXPECT_EQ(out.lastCount, 9999u);
}

// Over a large real run: every die is a face of the die, and every total adds up its lines.
TEST(RollRun, LargeRunHoldsItsInvariants)
{
    for (const std::uint64_t sides : {1ull, 2ull, 6ull, 100ull, 999998ull}) {
        const RollRequest request{.dice = 997,
                                  .sides = sides,
                                  .perDie = true,
                                  .modify = 3,
                                  .modifyText = "3",
                                  .totalModify = 11,
                                  .totalModifyText = "11",
                                  .times = 7};
        PhiloxSource source;
        Recorder out;
        runRoll(request, source, out);

        std::uint64_t sum = 0, dice = 0, blocks = 0, lowest = ~0ull, highest = 0;
        std::size_t pos = 0;
        while (pos < out.record.size()) {
            const std::size_t end = out.record.find("\r\n", pos);
            ASSERT_NE(end, std::string::npos);
            const std::string line = out.record.substr(pos, end - pos);
            pos = end + 2;
            std::uint64_t a = 0, b = 0, c = 0;
            if (line.empty() || line == kSep) continue;
            if (line.rfind("Total:", 0) == 0) {
                ASSERT_EQ(std::sscanf(line.c_str(), "Total:%lu + %lu = %lu", &a, &b, &c), 3) << line;
                EXPECT_EQ(a, sum);
                EXPECT_EQ(b, 11u);
                EXPECT_EQ(c, sum + 11);
                EXPECT_EQ(dice, 997u);
                sum = dice = 0;
                ++blocks;
                continue;
            }
            ASSERT_EQ(std::sscanf(line.c_str(), "%lu + %lu = %lu", &a, &b, &c), 3) << line;
            EXPECT_EQ(c, a + 3);
            lowest = std::min(lowest, a);
            highest = std::max(highest, a);
            sum += c;
            ++dice;
        }
        EXPECT_EQ(blocks, 7u);
        EXPECT_EQ(out.starts, std::vector<std::uint64_t>(7, 997));
        EXPECT_EQ(out.finished, 7);
        EXPECT_GE(lowest, 1u);
        EXPECT_LE(highest, sides);
        if (sides <= 100) {  // 6979 dice reach both ends of a small die
            EXPECT_EQ(lowest, 1u);
            EXPECT_EQ(highest, sides);
        }
        EXPECT_EQ(source.counter(), 997u * 7);
    }
}

namespace {

struct ProgressRow {
    const char* name;
    std::uint64_t dice;
    std::uint64_t times;
};
void PrintTo(const ProgressRow& row, std::ostream* out) { *out << row.name; }

class RunProgressTest : public ::testing::TestWithParam<ProgressRow> {};

const ProgressRow kProgressRows[] = {
    {"OneRepetition", 7, 1},
    {"FewerDiceThanRepetitions", 3, 10},
    {"MoreDiceThanRepetitions", 100, 7},
    {"OneDie", 1, 1},
};

}  // namespace

// Over a whole run the bar starts empty, never goes back, stays on its scale and is full at the last die.
TEST_P(RunProgressTest, FillsOnceOverTheWholeRun)
{
    const auto [name, dice, times] = GetParam();
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

INSTANTIATE_TEST_SUITE_P(Rows, RunProgressTest, ::testing::ValuesIn(kProgressRows), test::RowName());

TEST(RunProgress, TheLargestRunStaysOnTheBarsScale)
{
    EXPECT_EQ(runProgress(9998, 9999, 9999, 9999), 9999u);
    EXPECT_EQ(runProgress(4999, 9999, 5000, 9999), 4999u);
}
