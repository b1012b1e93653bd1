#include <gtest/gtest.h>

#include <atomic>

#include "engine/philox_source.h"
#include "roll/generate_roll.h"
#include "roll/roll_shown.h"

using namespace tumblecast;

namespace {

const PhiloxSource source;
const RollRequest request{.dice = 1500,
                          .sides = 13,
                          .perDie = true,
                          .modify = 2,
                          .modifyText = "2",
                          .totalModify = 5,
                          .totalModifyText = "5",
                          .times = 301};

const RollRecord& recordOf(const RollShown& shown)
{
    return static_cast<const GenerateRoll&>(shown.kind()).record();
}

}  // namespace

// The pass reads the record's own dice: its totals are the record's, and what it measures, handed to a
// record that has measured its start itself, gives the offsets the record would find alone.
TEST(RollShown, ThePassMeasuresTheRecordAndTalliesItsDice)
{
    std::atomic<int> ended = 0;
    const RollShown shown(
        std::make_unique<GenerateRoll>(request, source, 12345), [&ended] { ++ended; }, 2);
    const RollRecord& record = recordOf(shown);
    const RollRecord alone(request, source, 12345);
    const std::uint64_t lines = record.layout().linesPerRepetition();
    const LineNumber far((request.times - 1) * lines + request.dice + 1);  // the last total line
    (void)record.lineStart(LineNumber(10 * lines));
    stats::RolledSoFar rolled = shown.rolled();
    while (!rolled.finished) rolled = shown.rolled();
    EXPECT_TRUE(shown.adoptPass());
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(record.measuredRepetitions(), request.times);
    EXPECT_EQ(record.lineStart(far), alone.lineStart(far));
    EXPECT_EQ(record.line(far), alone.line(far));
    EXPECT_EQ(record.size(), alone.size());

    double sum = 0;
    for (std::uint64_t r = 0; r < request.times; ++r)
        sum += static_cast<double>(repetitionSum(record.dice(), record.layout(), r) + 5);
    EXPECT_EQ(rolled.repetitions, request.times);
    EXPECT_NEAR(rolled.totals.mean(), sum / static_cast<double>(request.times), 1e-6);
    EXPECT_EQ(rolled.faces.count(), request.dice * request.times);
    EXPECT_EQ(shown.expectation().repetitions(), request.times);

    // Stopped at once: what it has is whole repetitions, it never says it finished, and the record learns
    // nothing from it.
    RollShown stopped(
        std::make_unique<GenerateRoll>(request, source, 0), [&ended] { ++ended; }, 2);
    stopped.stopPass();
    const stats::RolledSoFar part = stopped.rolled();
    EXPECT_EQ(part.faces.count(), part.repetitions * request.dice);
    EXPECT_EQ(part.finished, part.repetitions == request.times);
    if (!part.finished) {
        EXPECT_FALSE(stopped.adoptPass());
        EXPECT_EQ(stopped.kind().measuredRepetitions(), 0u);
        EXPECT_EQ(ended, 1);
    }
}
