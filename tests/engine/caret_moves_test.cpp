#include <gtest/gtest.h>

#include "engine/caret_moves.h"
#include "engine/text_source.h"

using namespace tumblecast;

namespace {

// Offsets: "3 + 1 = 4" 0..9, CR LF, "x" 11..12, CR LF, "Total:10 + 2" 14..26, CR LF, "" at 28.
constexpr const char* kText = "3 + 1 = 4\r\nx\r\nTotal:10 + 2\r\n";

struct MoveRow {
    const char* name;
    Selection from;
    CaretMove move;
    bool extend;
    Selection to;
    std::optional<std::uint64_t> goal = std::nullopt;  // the goal column held before the move
};
const MoveRow kMoveRows[] = {
    {"LeftStepsOneCharacter", {4, 4}, CaretMove::CharLeft, false, {3, 3}},
    {"LeftCrossesAWholeLineEnd", {11, 11}, CaretMove::CharLeft, false, {9, 9}},
    {"LeftStopsAtTheStart", {0, 0}, CaretMove::CharLeft, false, {0, 0}},
    {"LeftCollapsesASelectionToItsStart", {2, 8}, CaretMove::CharLeft, false, {2, 2}},
    {"ShiftLeftExtends", {2, 8}, CaretMove::CharLeft, true, {2, 7}},
    {"RightCrossesAWholeLineEnd", {9, 9}, CaretMove::CharRight, false, {11, 11}},
    {"RightCollapsesASelectionToItsEnd", {8, 2}, CaretMove::CharRight, false, {8, 8}},
    {"RightStopsAtTheEnd", {28, 28}, CaretMove::CharRight, false, {28, 28}},
    {"WordRightStopsAtTheLineEnd", {8, 8}, CaretMove::WordRight, false, {9, 9}},
    {"WordRightThenCrossesTheLineEnd", {9, 9}, CaretMove::WordRight, false, {11, 11}},
    {"WordLeftSkipsBlanksFirst", {25, 25}, CaretMove::WordLeft, false, {23, 23}},
    {"WordLeftCrossesTheLineEnd", {14, 14}, CaretMove::WordLeft, false, {12, 12}},
    {"WordLeftStopsAtTheStart", {1, 1}, CaretMove::WordLeft, false, {0, 0}},
    {"DownAimsForTheGoalColumn", {12, 12}, CaretMove::LineDown, false, {21, 21}, 7},
    {"UpOnTheFirstLineStaysPut", {3, 3}, CaretMove::LineUp, false, {3, 3}},
    {"PageDownMovesAPage", {4, 4}, CaretMove::PageDown, false, {18, 18}},
    {"PageDownStopsOnTheLastLine", {20, 20}, CaretMove::PageDown, false, {28, 28}},
    {"PageUpMovesAPage", {27, 27}, CaretMove::PageUp, false, {1, 1}, 1},
    {"HomeGoesToTheLineStart", {20, 20}, CaretMove::LineStart, false, {14, 14}},
    {"EndStopsBeforeTheLineEnd", {14, 14}, CaretMove::LineEnd, false, {26, 26}},
    {"ShiftEndFromInsideALineEnd", {10, 10}, CaretMove::LineEnd, true, {10, 9}},
};

}  // namespace

TEST(CaretMoves, MoveTheCaret)
{
    BufferSource text;
    text.append(kText);
    for (const MoveRow& row : kMoveRows) {
        const CaretState after = applyMove(text, {row.from, row.goal}, row.move, row.extend, 2);
        EXPECT_EQ(after.selection.anchor, row.to.anchor) << row.name;
        EXPECT_EQ(after.selection.cursor, row.to.cursor) << row.name;
    }
}

TEST(CaretMoves, OnlyVerticalMovesKeepTheGoalColumn)
{
    BufferSource text;
    text.append(kText);
    CaretState state{{26, 26}, std::nullopt};
    state = applyMove(text, state, CaretMove::LineUp, false, 2);
    EXPECT_EQ(state.goalColumn, 12u);
    state = applyMove(text, state, CaretMove::LineUp, false, 2);
    EXPECT_EQ(state.selection.cursor, 9u);  // the end of the shorter line
    state = applyMove(text, state, CaretMove::CharLeft, false, 2);
    EXPECT_EQ(state.goalColumn, std::nullopt);

    EXPECT_EQ(wordAt(text, LineNumber(2), 2), (Selection{14, 22}));
    EXPECT_EQ(wordAt(text, LineNumber(0), 1), (Selection{1, 2}));  // the run of blanks between two words
    EXPECT_EQ(wordAt(text, LineNumber(1), 1), std::nullopt);
}
