#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "cli/record_output.h"
#include "cli/roll_arguments.h"

using namespace tumblecast;
using namespace tumblecast::cli;

namespace {

Command parse(std::initializer_list<std::string_view> arguments)
{
    const std::vector<std::string_view> list(arguments);
    return parseArguments(list);
}

}  // namespace

TEST(RollArguments, ShortFormAndOptionsReadAsTheWindowReadsItsFields)
{
    const auto shortForm = std::get<Roll>(parse({"2d20+007", "--seed", "5", "--lf"}));
    EXPECT_EQ(shortForm.request.dice, 2u);
    EXPECT_EQ(shortForm.request.sides, 20u);
    EXPECT_TRUE(shortForm.request.perDie);
    EXPECT_EQ(shortForm.request.modifyText, "7");
    EXPECT_EQ(shortForm.request.totalModifyText, "0");
    EXPECT_EQ(shortForm.request.times, 1u);
    EXPECT_EQ(shortForm.seed, 5u);
    EXPECT_TRUE(shortForm.plainLineEnds);

    // The largest roll the window makes; "00" passes the window's modifier check and shows as 0.
    const auto options = std::get<Roll>(parse(
        {"--dice=09999", "--sides", "999998", "--modify", "00", "--total-modify=999999", "--times", "9999"}));
    EXPECT_EQ(options.request.dice, 9999u);
    EXPECT_EQ(options.request.sides, 999998u);
    EXPECT_TRUE(options.request.perDie);
    EXPECT_EQ(options.request.modify, 0u);
    EXPECT_EQ(options.request.modifyText, "0");
    EXPECT_EQ(options.request.totalModify, 999999u);
    EXPECT_EQ(options.request.times, 9999u);
    EXPECT_EQ(options.seed, 0u);
    EXPECT_FALSE(options.plainLineEnds);

    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse({"3d6", "--help"})));
    EXPECT_TRUE(std::holds_alternative<ShowVersion>(parse({"--version"})));
}

TEST(RollArguments, RefusesWhatTheWindowRefusesNamingTheValueAndItsLimit)
{
    const struct {
        std::initializer_list<std::string_view> arguments;
        std::string message;
    } rows[] = {
        {{"--dice", "10000", "--sides", "6"}, "--dice 10000: the number of dice must be 1 to 9999"},
        {{"--dice", "3", "--sides", "999999"}, "--sides 999999: the number of sides must be 1 to 999998"},
        {{"3d6", "--times", "10000"}, "--times 10000: the number of repetitions must be 1 to 9999"},
        {{"3d6", "--modify", "1000000"},
         "--modify 1000000: the amount added to every die must be 1 to 999999"},
        {{"3d6", "--total-modify", "99999999999999999999"},
         "--total-modify 99999999999999999999: the amount added to every total must be 1 to 999999"},
        {{"000d6"}, "000d6: the number of dice must be 1 to 9999"},
        {{"3d0"}, "3d0: the number of sides must be 1 to 999998"},
        {{"2d20+0"}, "2d20+0: the amount added to every die must be 1 to 999999"},
        {{"3d6", "--total-modify", "0"},
         "--total-modify 0: the amount added to every total must be 1 to 999999"},
        {{"3d6", "--times", "00"}, "--times 00: the number of repetitions must be 1 to 9999"},
        {{"--dice", "2", "--dice", "3", "--sides", "6"}, "--dice is given twice"},
        {{"2d20+1", "--modify", "1"}, "--modify is given twice"},
        {{"3d6", "--lf", "--lf"}, "--lf is given twice"},
        {{"--dice", "-5", "--sides", "6"}, "--dice -5: not a whole number"},
        {{"--dice=", "--sides", "6"}, "--dice : not a whole number"},
        {{"3d6-1"}, "3d6-1: not a roll; write it like 3d6 or 2d20+1"},
        {{"d20"}, "d20: not a roll; write it like 3d6 or 2d20+1"},
        {{"--sides", "6"}, "say which dice to roll: 3d6, or --dice 3 --sides 6"},
        {{"3d6", "--times"}, "--times needs a value"},
        {{"3d6", "-x"}, "unknown option -x"},
        // Counters past the last would wrap round and replay the first dice.
        {{"3d6", "--seed", "18446744073709551613"},
         "--seed 18446744073709551613: must be 0 to 18446744073709551612 for this roll"},
        {{"3d6", "--seed", "18446744073709551616"},
         "--seed 18446744073709551616: must be 0 to 18446744073709551615"},
    };
    for (const auto& row : rows) {
        const Command command = parse(row.arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(command)) << row.message;
        EXPECT_EQ(std::get<UsageError>(command).message, row.message);
    }
}

TEST(RecordOutput, WritesTheRecordExactlyOrWithPlainLineEndsAndReportsAFailedWrite)
{
    BufferSource record;
    record.append("3\r\n5\r\n\r\nTotal:8 + 0 = 8\r\n--------------------------------\r\n\r\n");
    for (const bool plain : {false, true}) {
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(writeText(record, plain, file), std::nullopt);
        std::string written(200, '\0');
        std::rewind(file);
        written.resize(std::fread(written.data(), 1, written.size(), file));
        std::fclose(file);
        EXPECT_EQ(written,
                  plain ? "3\n5\n\nTotal:8 + 0 = 8\n--------------------------------\n\n" : record.text());
    }
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(writeText(record, true, full), std::string("No space left on device"));
    std::fclose(full);
}
