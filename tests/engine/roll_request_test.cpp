#include <gtest/gtest.h>

#include "engine/roll_request.h"

using namespace tumblecast;

TEST(RollChecks, OnlyAsciiDigitsReadAsNumbers)
{
    EXPECT_EQ(readNumber("0"), 0u);
    EXPECT_EQ(readNumber("999999"), 999999u);
    EXPECT_EQ(readNumber("0007"), 7u);
    for (const char* bad : {"", " 5", "5 ", "12a", "5.5", "1e3", "+5", "-1", "\xef\xbc\x95", "12345678"})
        EXPECT_EQ(readNumber(bad), std::nullopt) << bad;
}

TEST(RollChecks, ReadsOnlyTheFieldsInUseAndRefusesZeroCounts)
{
    const struct {
        const char* name;
        RollFields fields;
        std::string_view failure;  // empty: the request reads
    } rows[] = {
        {"per-die field unread without per-die",
         {.dice = "2", .sides = "6", .modify = "junk", .storedTimes = "3"},
         {}},
        // The checks never let a zero count through; a roll of it would be nothing.
        {"no dice", {.dice = "0", .sides = "6"}, kInvalidArgument},
        {"no repetitions", {.dice = "2", .sides = "6", .storedTimes = "0"}, kInvalidArgument},
    };
    for (const auto& row : rows) {
        const ReadRequest read = readRequest(row.fields);
        if (row.failure.empty())
            EXPECT_TRUE(std::holds_alternative<RollRequest>(read)) << row.name;
        else
            EXPECT_EQ(std::get<std::string_view>(read), row.failure) << row.name;
    }
}
