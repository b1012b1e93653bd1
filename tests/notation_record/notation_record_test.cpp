#include <gtest/gtest.h>

#include <future>
#include <string>
#include <variant>

#include "engine/philox_source.h"
#include "engine/roll_record.h"
#include "notation/parser.h"
#include "notation_record/notation_record.h"
#include "notation_record/notation_roll.h"
#include "roll/roll_shown.h"
#include "scripted_source.h"

using namespace tumblecast;

namespace {

const PhiloxSource philox;

notation::Expression parsed(const char* text)
{
    notation::Parsed result = notation::parse(text);
    EXPECT_TRUE(std::holds_alternative<notation::Expression>(result)) << text;
    return std::get<notation::Expression>(std::move(result));
}

std::string whole(const TextSource& text)
{
    std::string all;
    text.forEachPiece(TextOffset(0), text.size(), [&all](std::string_view piece) { all += piece; });
    return all;
}

}  // namespace

TEST(NotationRecord, ShowsEveryDieItsMarksAndEachTotal)
{
    // Two twenty-sided dice showing 14 and 7.
    const test::ScriptedSource advantage(20, {14, 7});
    EXPECT_EQ(whole(NotationRecord(parsed("2d20kh1+5"), advantage, 0)),
              "14 kept\r\n7 dropped\r\n\r\nTotal:14 + 5 = 19\r\n--------------------------------\r\n\r\n");

    // An exploding die (6, 6, 2) and two dice that reroll ones: the first stands at 5 after two ones.
    std::vector<std::uint64_t> faces(1 + 2 + 100 + 200, 3);
    faces[0] = 6, faces[3] = 6, faces[4] = 2;      // the explosions' room follows the first rolls
    faces[1] = 1, faces[103] = 1, faces[104] = 5;  // the first die's rerolls come after that
    faces[2] = 4;
    const test::ScriptedSource script(6, faces);
    const NotationRecord mixed(parsed("1d6! + 2d6r1 - 2"), script, 0);
    EXPECT_EQ(whole(mixed),
              "1d6!:\r\n6 + 6 + 2 = 14\r\n2d6r1:\r\n5 (rerolled 1 1)\r\n4\r\n\r\n"
              "Total:14 + 9 - 2 = 21\r\n--------------------------------\r\n\r\n");
    EXPECT_EQ(mixed.line(LineNumber(3)), "5 (rerolled 1 1)");
    EXPECT_LE(mixed.lineLength(LineNumber(1)), mixed.longestLine());

    // Fudge dice below nothing are bracketed after a sign; success counts mark their dice.
    const test::ScriptedSource fudge(3, {1, 1, 2, 3});
    EXPECT_EQ(NotationRecord(parsed("1-4dF"), fudge, 0).line(LineNumber(5)), "Total:1 - (-1) = 2");
    const test::ScriptedSource pool(10, {8, 3});
    EXPECT_EQ(NotationRecord(parsed("2d10>=7"), pool, 0).line(LineNumber(0)), "8 success");
}

// A plain roll reads as Generate's record of the same dice, byte for byte, and takes as many values.
TEST(NotationRecord, PlainDiceReadAsTheWindowsRecord)
{
    RollRequest request;
    request.dice = 3;
    request.sides = 6;
    request.times = 4;
    std::uint64_t next = 40;
    const auto notation = NotationRecord::roll(parsed("4x3d6"), philox, next);
    EXPECT_EQ(next, 52u);
    EXPECT_EQ(whole(*notation), whole(RollRecord(request, philox, 40)));
}

// Offsets, lines and the stream agree everywhere, whichever is asked first, across repetitions of
// different lengths and the groups a stream renders together.
TEST(NotationRecord, LinesOffsetsAndStreamAgree)
{
    const char* const rolls[] = {"300x2d20kh1+5", "7x4d6!r1dl1-1d4", "3x2500d999998"};
    for (const char* roll : rolls) {
        SCOPED_TRACE(roll);
        const NotationRecord far(parsed(roll), philox, 1000);
        const LineNumber last(far.lineCount() - 2);
        const TextOffset lastStart = far.lineStart(last);  // measures everything before it first

        const NotationRecord record(parsed(roll), philox, 1000);
        const std::string text = whole(record);
        ASSERT_EQ(text.size(), record.size());
        EXPECT_EQ(record.lineStart(last), lastStart);
        EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
        std::uint64_t at = 0;
        for (std::uint64_t k = 0; k + 1 < record.lineCount(); ++k) {
            const LineNumber line(k);
            const std::string expected = text.substr(at, text.find("\r\n", at) - at);
            ASSERT_EQ(record.line(line), expected) << k;
            ASSERT_EQ(record.lineStart(line).value, at) << k;
            ASSERT_EQ(record.lineLength(line), expected.size()) << k;
            ASSERT_LE(expected.size(), record.longestLine()) << k;
            ASSERT_EQ(record.lineAt(TextOffset(at + expected.size())), line) << k;
            at += expected.size() + 2;
        }
        EXPECT_EQ(at, text.size());
        EXPECT_EQ(record.lineAt(TextOffset(text.size())).value, record.lineCount() - 1);
        for (const std::uint64_t from : {std::uint64_t{0}, text.size() / 3, text.size() - 7})
            EXPECT_EQ(record.slice(TextOffset(from), text.size()), text.substr(from)) << from;
        EXPECT_EQ(record.slice(TextOffset(text.size() / 2), 3), text.substr(text.size() / 2, 3));
    }
}

// Each repetition's total line shows what the roller totals for it.
TEST(NotationRecord, TotalsAreTheRollersTotals)
{
    const NotationRecord record(parsed("50x3d6!kh2+1d8ro1"), philox, 7);
    const notation::Roller roller(record.expression(), philox, 7);
    const std::uint64_t lines = record.layout().linesPerRepetition();
    for (std::uint64_t r = 0; r < record.repetitions(); ++r) {
        const std::string total = record.line(LineNumber(r * lines + lines - 3));
        EXPECT_EQ(total.substr(total.rfind(" = ") + 3), std::to_string(roller.total(r))) << total;
    }
}

// The pass over a notation roll tallies every repetition's total and every face its tested dice showed,
// rerolled and exploded ones too, and measures the record as it goes.
TEST(NotationRoll, PassTalliesTotalsAndEveryFaceAndMeasuresTheRecord)
{
    std::uint64_t next = 5;
    std::promise<void> ended;
    RollShown shown(NotationRoll::roll(parsed("300x3d6!r1+1d4-2"), philox, next), [&] { ended.set_value(); });
    ended.get_future().wait();
    const auto& roll = dynamic_cast<const NotationRoll&>(shown.kind());
    EXPECT_EQ(roll.facesSides(), 6u);
    const notation::Roller roller(roll.record().expression(), philox, 5);
    std::uint64_t faces = 0;
    std::int64_t sum = 0;
    for (std::uint64_t r = 0; r < 300; ++r) {
        faces += roller.roll(r).terms[0].faces.size();
        sum += roller.total(r);
    }
    const stats::RolledSoFar rolled = shown.rolled();
    EXPECT_TRUE(rolled.finished);
    EXPECT_EQ(rolled.totals.count(), 300u);
    EXPECT_EQ(rolled.faces.count(), faces);
    EXPECT_NEAR(rolled.totals.mean(), static_cast<double>(sum) / 300, 1e-9);
    EXPECT_TRUE(shown.adoptPass());
    EXPECT_EQ(roll.measuredRepetitions(), 300u);
    EXPECT_EQ(roll.record().size(), NotationRecord(parsed("300x3d6!r1+1d4-2"), philox, 5).size());
    // The odds the statistics read are the expression's, from its least total on.
    const stats::TotalDistribution& odds = shown.expectation().distribution;
    EXPECT_EQ(odds.minimum(), 3 + 1 - 2);
    EXPECT_EQ(odds.method(), stats::TotalDistribution::Method::Exact);
    EXPECT_EQ(odds.shape().times, 300u);
}
