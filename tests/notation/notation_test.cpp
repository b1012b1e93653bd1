#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "engine/philox_source.h"
#include "engine/roll_record.h"
#include "notation/describe.h"
#include "notation/parser.h"
#include "notation/roller.h"
#include "scripted_source.h"

using namespace tumblecast;
using namespace tumblecast::notation;

namespace {

Expression parsed(std::string_view text)
{
    auto result = parse(text);
    if (const auto* fault = std::get_if<Diagnostic>(&result)) {
        ADD_FAILURE() << text << ": " << fault->message;
        return {};
    }
    return std::get<Expression>(result);
}

}  // namespace

TEST(Notation, ReadsWhatPlayersTypeAndSaysItInWords)
{
    const struct {
        std::string_view text;
        std::string words;
        std::uint64_t stride;
        std::int64_t minimum, maximum;
    } rows[] = {
        {"2d20kh1+5", "2 twenty-sided dice, keep the highest, add 5", 2, 6, 25},
        {" 4D6 dL1 ", "4 six-sided dice, drop the lowest", 4, 3, 18},
        {"1 d 20 ! > = 19", "1 twenty-sided die, explode on 19 or more", 101, 1, 2020},
        {"6x4d6dl1", "6 times: 4 six-sided dice, drop the lowest", 4, 3, 18},
        {"6X4D6KH3", "6 times: 4 six-sided dice, keep the 3 highest", 4, 3, 18},
        {"4D6RO1!>=6", "4 six-sided dice, reroll 1 once, explode on 6 or more", 4 * 102, 4, 4 * 606},
        {"d20", "1 twenty-sided die", 1, 1, 20},
        {"3d6 + 2", "3 six-sided dice, add 2", 3, 5, 20},
        {"1d20+1d4-1", "1 twenty-sided die, add 1 four-sided die, subtract 1", 2, 1, 23},
        {"-1d4+10", "subtract 1 four-sided die, add 10", 1, 6, 9},
        {"d%", "1 hundred-sided die", 1, 1, 100},
        {"3dF+2", "3 fudge dice, add 2", 3, -1, 5},
        {"10d10>=8", "10 ten-sided dice, count those showing 8 or more", 10, 0, 10},
        {"4d6k", "4 six-sided dice, keep the highest", 4, 1, 6},
        {"4d6d2", "4 six-sided dice, drop the 2 lowest", 4, 2, 12},
        {"2d20kl1", "2 twenty-sided dice, keep the lowest", 2, 1, 20},
        {"5d8dh2", "5 eight-sided dice, drop the 2 highest", 5, 3, 24},
        // Room for 100 explosions a die; the cap bounds the total too.
        {"8d6!", "8 six-sided dice, explode on 6", 808, 8, 8 * 606},
        {"2d10!>=9", "2 ten-sided dice, explode on 9 or more", 202, 2, 2 * 1010},
        {"4d6r1", "4 six-sided dice, reroll 1", 404, 4, 24},
        {"4d6ro<=2", "4 six-sided dice, reroll 2 or less once", 8, 4, 24},
        {"3d6r1!kh2", "3 six-sided dice, reroll 1, explode on 6, keep the 2 highest", 3 * 201, 2, 2 * 606},
        {"dF!", "1 fudge die, explode on 1", 101, -1, 101},
        {"8d6!-2", "8 six-sided dice, explode on 6, subtract 2", 808, 6, 8 * 606 - 2},
        {"4dF<0", "4 fudge dice, count those showing below 0", 4, 0, 4},
        {"1d13", "1 13-sided die", 1, 1, 13},
        {"5+1d6", "5, add 1 six-sided die", 1, 6, 11},
        {"dF>=2", "1 fudge die, count those showing 2 or more", 1, 0, 1},
        {"3d6!2", "3 six-sided dice, explode on 2", 303, 3, 3 * 206},  // 2, 2, ... then a 6
    };
    for (const auto& row : rows) {
        const Expression e = parsed(row.text);
        EXPECT_EQ(describe(e), row.words) << row.text;
        EXPECT_EQ(e.stride(), row.stride) << row.text;
        EXPECT_EQ(e.minimum(), row.minimum) << row.text;
        EXPECT_EQ(e.maximum(), row.maximum) << row.text;
    }
    EXPECT_EQ(parsed("6x4d6dl1").times, 6u);
    EXPECT_TRUE(parsed("3d6+2").plainDiceAndModifier());
    EXPECT_FALSE(parsed("3d6-2").plainDiceAndModifier());
    EXPECT_FALSE(parsed("3d6kh2").plainDiceAndModifier());
}

TEST(Notation, RefusesNamingWhatIsWrongAndWhere)
{
    const std::string tooLong(1001, '1');
    std::string manyTerms = "1";
    for (int i = 0; i < 50; ++i) manyTerms += "+1";
    const struct {
        std::string text;
        std::size_t column, length;
        std::string message;
    } rows[] = {
        {"4d6kh7", 3, 3, "keeps 7 of 4 dice"},
        {"4d6k0", 3, 2, "keeps no dice"},
        {"4d6dl4", 3, 3, "drops 4 of 4 dice, leaving none"},
        {"1d6r<=6", 3, 4, "rerolls every face, so it would never stop"},
        {"1d6ro>0", 3, 4, "rerolls every face"},
        {"1d1!", 3, 1, "explodes on every face"},
        {"2d6!>=1", 3, 4, "explodes on every face"},
        {"10000d6", 0, 5, "10000 dice: a term rolls at most 9999"},
        {"0d6", 0, 1, "rolls no dice"},
        {"3d999999", 2, 6, "999999 sides: a die has at most 999998"},
        {"3d0", 2, 1, "a die needs at least 1 side"},
        {"3d6+1000000", 4, 7, "a number may be at most 999999"},
        {"0x3d6", 0, 2, "repeats 1 to 9999 times"},
        {"10000x3d6", 0, 6, "repeats 1 to 9999 times"},
        {"3d6+", 4, 1, "the roll ends too soon"},
        {"d", 0, 1, "d needs its sides: a number, % or F"},
        {"3d6 x2", 4, 1, "a repeat count goes in front, as in 6x4d6"},
        {"3d6 \t 2d6", 3, 3, "numbers side by side: join terms with + or -"},
        {"3d6q", 3, 1, "'q' is not part of a roll here"},
        {"3d6+\t+1", 5, 1, "'+' is not part of a roll here"},
        {"3d6kh1kl1", 6, 1, "a second keep or drop for the same dice"},
        {"3d6r1r2", 5, 1, "a second reroll for the same dice"},
        {"3d6>3<2", 5, 1, "a second success count for the same dice"},
        {"3d6r", 3, 1, "a number must follow here"},
        {"4d6!>=", 3, 3, "a number must follow here"},
        {"4d6>=-", 3, 3, "a number must follow here"},
        {"4d6kh3 kh1", 7, 1, "a second keep or drop for the same dice"},
        {"2d%r>=1", 3, 4, "rerolls every face, so it would never stop"},
        {"1dFr>-2", 3, 4, "rerolls every face, so it would never stop"},
        {"3d6 \xC3\xA9", 4, 2, "'\xC3\xA9' is not part of a roll"},
        {"3d6+\xE2\x82", 4, 2, "not UTF-8 text, so not part of a roll"},
        {"\xA9", 0, 1, "not UTF-8 text, so not part of a roll"},
        {"3d6\r", 3, 1, "a control character is not part of a roll"},
        {"", 0, 1, "there is no roll: write one like 2d20kh1+5"},
        {tooLong, 1000, 1, "a roll is at most 1000 characters long"},
        {manyTerms, 99, 1, "a roll has at most 50 terms"},
        {"9999d6r1!+9999d6r1!+9999d6r1!+9999d6r1!+9999d6r1!+1d6", 0, 53,
         "needs 10048996 dice a roll, counting the room for rerolls and explosions; at most 10000000"},
    };
    for (const auto& row : rows) {
        const Parsed result = parse(row.text);
        ASSERT_TRUE(std::holds_alternative<Diagnostic>(result)) << row.text;
        const auto& fault = std::get<Diagnostic>(result);
        EXPECT_EQ(fault.message, row.message) << row.text;
        EXPECT_EQ(fault.column, row.column) << row.text;
        EXPECT_EQ(fault.length, row.length) << row.text;
    }
}

// The dice come from fixed places: first rolls in a run, then each die's room, read only when needed.
TEST(Notation, RollsEachDieFromItsOwnValuesAndMarksIt)
{
    const struct {
        std::string_view text;
        std::vector<std::uint64_t> faces;  // d6 faces of the source's values in order
        std::string line;
    } rows[] = {
        {"4d6dl1", {6, 5, 2, 4}, "4d6dl1: 6 5 (2) 4 = 15"},
        // Equal dice: the earlier is kept.
        {"3d6kh1", {5, 5, 2}, "3d6kh1: 5 (5) (2) = 5"},
        {"3d6kl2", {3, 1, 3}, "3d6kl2: 3 1 (3) = 4"},
        {"2d6+1d6-2", {1, 2, 3}, "2d6+1d6-2: [1 2] + 3 - 2 = 4"},
        {"4d6>=5", {5, 6, 4, 1}, "4d6>=5: 5* 6* 4 1 = 2"},
        {"3d6kh2>=4", {4, 6, 5}, "3d6kh2>=4: (4) 6* 5* = 2"},
        // Die 0 rerolls twice from its room at values 2 and 3; die 1's room (values 102..) is never read.
        {"2d6r1", {1, 3, 1, 4}, "2d6r1: 1r1r4 3 = 7"},
        {"2d6ro1", {1, 1, 1, 5}, "2d6ro1: 1r1 1r5 = 6"},
        // Die 0 explodes from its room after the first rolls: values 2 and 3.
        {"2d6!", {6, 2, 6, 3}, "2d6!: 6!6!3 2 = 17"},
        {"1d6r1!", {1, 6, 2}, "1d6r1!: 1r6!1 = 7"},
    };
    for (const auto& row : rows) {
        const Expression e = parsed(row.text);
        std::vector<std::uint64_t> faces = row.faces;
        faces.resize(std::max<std::size_t>(faces.size(), e.stride()), 1);
        // Room values not in the script show 1; the rows above say which are read.
        const test::ScriptedSource source(6, faces);
        const Roller roller(e, source, 0);
        const RolledRepetition rolled = roller.roll(0);
        EXPECT_EQ(rollLine(e, rolled), row.line) << row.text;
        EXPECT_EQ(roller.total(0), rolled.total) << row.text;
    }
    // 1d6r1!: the reroll room is 100 values, the explosions' room follows it.
    {
        const Expression e = parsed("1d6r1!");
        std::vector<std::uint64_t> faces(e.stride(), 2);
        faces[0] = 1, faces[1] = 6, faces[101] = 6, faces[102] = 3;
        const test::ScriptedSource source(6, faces);
        EXPECT_EQ(rollLine(e, Roller(e, source, 0).roll(0)), "1d6r1!: 1r6!6!3 = 15");
    }
}

TEST(Notation, RepetitionsTakeAFixedStrideSoAnyOneRollsAlone)
{
    const PhiloxSource source(5);
    for (const std::string_view text :
         {"9x4d6r<=2!kh3+2d20kl1-1", "7x10dF>=0", "5x20d2!", "9x5d6dl2>=3", "9x6dFkl2-1d100kh1", "9x8d7"}) {
        const Expression e = parsed(text);
        const Roller whole(e, source, 1000);
        EXPECT_EQ(whole.nextValue(), 1000 + e.times * e.stride());
        for (std::uint64_t r = 0; r < e.times; ++r) {
            // Repetition r of a roll that starts r strides later is its first.
            const Roller later(e, source, 1000 + r * e.stride());
            EXPECT_EQ(rollLine(e, whole.roll(r)), rollLine(e, later.roll(0))) << text << " " << r;
            EXPECT_EQ(whole.total(r), whole.roll(r).total);
            EXPECT_GE(whole.total(r), e.minimum());
            EXPECT_LE(whole.total(r), e.maximum());
        }
    }
    // A plain NdS takes the window's dice: the first record after a start shows the same faces.
    const PhiloxSource window;
    RollRequest request;
    request.dice = 5;
    request.sides = 20;
    std::uint64_t next = 0;
    const auto record = RollRecord::roll(request, window, next);
    const Expression e = parsed("5d20");
    const RolledRepetition rolled = Roller(e, window, 0).roll(0);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(std::to_string(rolled.terms[0].dice[i].value), record->line(LineNumber(i)));
}
