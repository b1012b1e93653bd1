#include <gtest/gtest.h>

#include "engine/roll_request.h"
#include "named_rows.h"

using namespace tumblecast;

TEST(RollChecks, OnlyAsciiDigitsReadAsNumbers)
{
    EXPECT_EQ(readNumber("0"), 0u);
    EXPECT_EQ(readNumber("999999"), 999999u);
    EXPECT_EQ(readNumber("0007"), 7u);
    for (const char* bad : {"", " 5", "5 ", "12a", "5.5", "1e3", "+5", "-1", "\xef\xbc\x95", "12345678"})
        EXPECT_EQ(readNumber(bad), std::nullopt) << bad;
}

namespace {

struct ReadRow {
    const char* name;
    RollFields fields;
    std::string_view failure;  // empty: the request reads
};
void PrintTo(const ReadRow& row, std::ostream* out) { *out << row.name; }

class ReadRequestTest : public ::testing::TestWithParam<ReadRow> {};

const ReadRow kReadRows[] = {
    {"PerDieFieldUnreadWithoutPerDie", {.dice = "2", .sides = "6", .modify = "junk", .storedTimes = "3"}, {}},
    {"PerDieFieldReadWithPerDie",
     {.dice = "2", .sides = "6", .perDie = true, .modify = "junk"},
     kTypeMismatch},
    {"DiceNotANumber", {.dice = "5.5", .sides = "6"}, kTypeMismatch},
    {"SidesNotANumber", {.dice = "2", .sides = "1e3"}, kTypeMismatch},
    {"TotalModifierNotANumber", {.dice = "2", .sides = "6", .totalModify = "4 2"}, kTypeMismatch},
    {"StoredCountNotANumber", {.dice = "2", .sides = "6", .storedTimes = "2x"}, kTypeMismatch},
    // The checks never let a zero count through; a roll of it would be nothing.
    {"NoDice", {.dice = "0", .sides = "6"}, kInvalidArgument},
    {"NoSides", {.dice = "2", .sides = "0"}, kInvalidArgument},
    {"NoRepetitions", {.dice = "2", .sides = "6", .storedTimes = "0"}, kInvalidArgument},
    {"ZeroTotalModifierIsFine", {.dice = "2", .sides = "6", .totalModify = "0"}, {}},
};

}  // namespace

TEST_P(ReadRequestTest, FailsAtTheFirstValueThatDoesNotRead)
{
    const ReadRequest read = readRequest(GetParam().fields);
    if (GetParam().failure.empty())
        EXPECT_TRUE(std::holds_alternative<RollRequest>(read));
    else
        EXPECT_EQ(std::get<std::string_view>(read), GetParam().failure);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadRequestTest, ::testing::ValuesIn(kReadRows), test::RowName());
