#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "cli/odds_output.h"
#include "cli/record_output.h"
#include "cli/roll_arguments.h"
#include "notation/parser.h"

using namespace tumblecast;
using namespace tumblecast::cli;

namespace {

Command parse(std::initializer_list<std::string_view> arguments)
{
    const std::vector<std::string_view> list(arguments);
    return parseArguments(list);
}

std::vector<std::string> texts(const Job& run)
{
    std::vector<std::string> out;
    for (const auto& e : run.expressions) out.push_back(e.text + " x" + std::to_string(e.times));
    return out;
}

}  // namespace

TEST(RollArguments, ReadsNotationWordsAndOptions)
{
    // Words that continue one another are one expression; a leading dash is a sign, not an option.
    const auto words =
        std::get<Job>(parse({"3d6", "+", "2", "d20", "1d20-2", "-1d4", "+10", "6", "x4d6dl1"}));
    EXPECT_EQ(texts(words),
              (std::vector<std::string>{"3d6 + 2 x1", "d20 x1", "1d20-2 -1d4 +10 x1", "6 x4d6dl1 x6"}));
    EXPECT_EQ(words.output, Output::People);
    EXPECT_FALSE(words.seed);

    const auto times =
        std::get<Job>(parse({"1d20+5", "--times=3", "2d6+3", "--seed", "5", "--verbose", "--total"}));
    EXPECT_EQ(texts(times), (std::vector<std::string>{"1d20+5 x3", "2d6+3 x3"}));
    EXPECT_EQ(times.output, Output::Totals);
    EXPECT_EQ(times.seed, 5u);
    EXPECT_TRUE(times.verbose);

    const auto odds = std::get<Job>(parse({"--odds=4d6kh3", "--target", "-2", "--tsv"}));
    EXPECT_EQ(odds.output, Output::Odds);
    EXPECT_EQ(odds.target, -2);
    EXPECT_TRUE(odds.tsv);
    EXPECT_EQ(texts(odds), (std::vector<std::string>{"4d6kh3 x1"}));

    // --record writes the window's kind of roll: + M is on the total.
    const auto record = std::get<Job>(parse({"--record", "3d6+2", "--times", "2", "--crlf", "--", "1d4"}));
    ASSERT_EQ(record.records.size(), 2u);
    EXPECT_EQ(record.records[0].dice, 3u);
    EXPECT_EQ(record.records[0].sides, 6u);
    EXPECT_FALSE(record.records[0].perDie);
    EXPECT_EQ(record.records[0].totalModifyText, "2");
    EXPECT_EQ(record.records[0].times, 2u);
    EXPECT_EQ(record.records[1].totalModifyText, "0");
    EXPECT_TRUE(record.crlf);

    // The window's options read as the window reads its fields, and write its record.
    const auto options = std::get<Job>(parse(
        {"--dice=09999", "--sides", "999998", "--modify", "00", "--total-modify=999999", "--times", "9999"}));
    ASSERT_EQ(options.records.size(), 1u);
    EXPECT_EQ(options.output, Output::Record);
    EXPECT_EQ(options.records[0].dice, 9999u);
    EXPECT_TRUE(options.records[0].perDie);
    EXPECT_EQ(options.records[0].modifyText, "0");
    EXPECT_EQ(options.records[0].totalModify, 999999u);
    EXPECT_EQ(options.records[0].times, 9999u);
    EXPECT_FALSE(options.crlf);

    EXPECT_TRUE(std::holds_alternative<ShowHelp>(parse({"3d6", "--help"})));
    EXPECT_TRUE(std::holds_alternative<ShowVersion>(parse({"--version"})));
}

TEST(RollArguments, RefusesNamingTheValueAndWhatItMayBe)
{
    const struct {
        std::initializer_list<std::string_view> arguments;
        std::string message;
        std::string detail = "";
    } rows[] = {
        {{"4d6kh7"}, "4d6kh7: keeps 7 of 4 dice", "  4d6kh7\n     ^~~\n"},
        {{"3d6", "+"}, "3d6 +: the roll ends too soon", "  3d6 +\n       ^\n"},
        {{"6x3d6", "--times", "2"}, "6x3d6: a repeat count in front and --times both given"},
        {{"--record", "4d6dl1"}, "4d6dl1: --record writes only the window's kind of roll, NdS or NdS+M"},
        {{"--record", "3d6-1"}, "3d6-1: --record writes only the window's kind of roll, NdS or NdS+M"},
        {{"--dice", "3", "--sides", "6", "3d6"},
         "give a roll either in notation (3d6) or with --dice and --sides, not both"},
        {{"--total", "--odds", "3d6"}, "choose one of --total, --record and --odds"},
        {{"--tsv", "3d6"}, "--tsv goes with --odds"},
        {{"--target", "5", "3d6"}, "--target goes with --odds"},
        {{"--odds", "--target", "5", "3d6", "1d6"}, "--target goes with one expression"},
        {{"--odds", "--target", "x", "3d6"}, "--target x: not a whole number of at most 15 digits"},
        {{"--crlf", "3d6"}, "--crlf goes with the window's record: --record or --dice and --sides"},
        {{"--odds", "--dice", "3", "--sides", "6"}, "--odds takes notation, as in --odds 3d6+2"},
        {{"--total=1", "3d6"}, "--total takes no value"},
        {{"--total", "--total", "3d6"}, "--total is given twice"},
        {{}, "say which dice to roll, as in 2d20kh1+5 or 3d6"},
        {{"--sides", "6"}, "--dice and --sides go together, as in --dice 3 --sides 6"},
        {{"--dice", "10000", "--sides", "6"}, "--dice 10000: the number of dice must be 1 to 9999"},
        {{"--dice", "3", "--sides", "999999"}, "--sides 999999: the number of sides must be 1 to 999998"},
        {{"3d6", "--times", "10000"}, "--times 10000: the number of repetitions must be 1 to 9999"},
        {{"3d6", "--times", "00"}, "--times 00: the number of repetitions must be 1 to 9999"},
        {{"--dice", "1", "--sides", "6", "--total-modify", "0"},
         "--total-modify 0: the amount added to every total must be 1 to 999999"},
        {{"--dice", "1", "--sides", "6", "--modify", "1000000"},
         "--modify 1000000: the amount added to every die must be 1 to 999999"},
        {{"--dice", "2", "--dice", "3", "--sides", "6"}, "--dice is given twice"},
        {{"--dice", "-5", "--sides", "6"}, "--dice -5: not a whole number"},
        {{"3d6", "--times"}, "--times needs a value"},
        {{"3d6", "-x"}, "unknown option -x"},
        {{"3d6", "--seed", "18446744073709551616"},
         "--seed 18446744073709551616: must be 0 to 18446744073709551615"},
    };
    for (const auto& row : rows) {
        const Command command = parse(row.arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(command)) << row.message;
        EXPECT_EQ(std::get<UsageError>(command).message, row.message);
        EXPECT_EQ(std::get<UsageError>(command).detail, row.detail) << row.message;
    }
}

TEST(OddsOutput, PrintsMeanTargetAndTablePlainOrTabSeparated)
{
    const auto coin = std::get<notation::Expression>(notation::parse("3x1d2"));
    const stats::ExpressionOdds odds(coin);
    EXPECT_EQ(oddsText(coin, odds, 2, false),
              "3x1d2: 3 times: 1 two-sided die\n"
              "exact\n"
              "mean 1.500, standard deviation 0.500\n"
              "P(>=2) = 50.0000 % in one roll, 87.5000 % in 3 rolls\n"
              "total       P(=)         P(>=)        P(<=)\n"
              "1          50.0000 %    100.0000 %     50.0000 %\n"
              "2          50.0000 %     50.0000 %    100.0000 %\n");
    EXPECT_EQ(oddsText(coin, odds, std::nullopt, true),
              "expression\t3x1d2\nmeaning\t3 times: 1 two-sided die\nmethod\texact\nmean\t1.5\n"
              "standard deviation\t0.5\ntotal\tP(=)\tP(>=)\tP(<=)\n1\t0.5\t1\t0.5\n2\t0.5\t0.5\t1\n");
    // A wide range is shown in ranges, and an approximation says so.
    const auto wide = std::get<notation::Expression>(notation::parse("5000d9999"));
    const std::string text = oddsText(wide, stats::ExpressionOdds(wide), std::nullopt, false);
    EXPECT_NE(text.find("approximate (normal distribution): every chance within "), std::string::npos)
        << text;
    EXPECT_NE(text.find("totals                P(in)        P(>=from)    P(<=to)\n"), std::string::npos);
    EXPECT_LE(std::count(text.begin(), text.end(), '\n'), kMaxRows + 5);
}

TEST(OddsOutput, NamesEachMethodAndTheCaretFindsTheColumn)
{
    const auto odds = [](std::string_view text, stats::OddsBudget budget = {}) {
        const auto e = std::get<notation::Expression>(notation::parse(text));
        const std::string out =
            oddsText(e, stats::ExpressionOdds(e, budget, {2e5, 200, 2000, 1e9}), {}, false);
        return out.substr(0, out.find("\nmean"));
    };
    EXPECT_EQ(odds("2d6!"),
              "2d6!: 2 six-sided dice, explode on 6\nexact\n"
              "chance that a die explodes 100 times, its cap: at most 5.10e-77 %");
    EXPECT_EQ(odds("20d6kh10", {10, 100}),
              "20d6kh10: 20 six-sided dice, keep the 10 highest\n"
              "approximate (2000 simulated rolls): every chance within 4.3592 % at 99.9 % confidence");
    EXPECT_EQ(caretLines("3d6\t+ x", 6, 1), "  3d6\t+ x\n     \t  ^\n");
}

// A range wider than the table is cut into ranges that follow one another, and their chances add up.
TEST(OddsOutput, RangesFollowOneAnotherAndTheirChancesAddUp)
{
    const auto e = std::get<notation::Expression>(notation::parse("20d100"));
    const std::string text = oddsText(e, stats::ExpressionOdds(e), std::nullopt, true);
    std::istringstream lines(text.substr(text.find("from\tto\tP(from..to)\tP(>=from)\tP(<=to)\n")));
    std::string line;
    std::getline(lines, line);
    long long previousTo = 0, width = 0;
    double total = 0, previousAtLeast = 0, previousIn = 0;
    int rows = 0;
    while (std::getline(lines, line)) {
        long long from = 0, to = 0;
        double in = 0, atLeast = 0, atMost = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%lld\t%lld\t%lf\t%lf\t%lf", &from, &to, &in, &atLeast, &atMost),
                  5)
            << line;
        if (rows++ == 0)
            width = to - from + 1;
        else {
            EXPECT_EQ(from, previousTo + 1) << line;
            EXPECT_NEAR(atLeast, previousAtLeast - previousIn, 1e-9) << line;
        }
        EXPECT_LE(to - from + 1, width) << line;
        total += in;
        // The ends left out of the table hold less than 1e-10.
        EXPECT_NEAR(atMost, total, 1e-9) << line;
        previousTo = to, previousAtLeast = atLeast, previousIn = in;
    }
    EXPECT_EQ(width, 2);
    EXPECT_GT(rows, 500);
    EXPECT_LE(rows, kMaxRows);
    EXPECT_NEAR(total, 1.0, 1e-9);
}

TEST(RecordOutput, WritesTheRecordExactlyOrWithPlainLineEndsAndReportsAFailedWrite)
{
    BufferSource record;
    record.append("3\r\n5\r\n\r\nTotal:8 + 0 = 8\r\n--------------------------------\r\n\r\n");
    // Lines of every length about the 16 bytes copied at a time, and CRs side by side.
    BufferSource varied;
    std::string plainText;
    for (int line = 0; line < 3000; ++line) {
        const std::string text(static_cast<std::size_t>(line * 7 % 41), static_cast<char>('a' + line % 26));
        varied.append(text + (line % 5 == 0 ? "\r\r\n" : "\r\n"));
        plainText += text + "\n";
    }
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(writeText(varied, true, file), std::nullopt);
    std::string written(plainText.size() + 100, '\0');
    std::rewind(file);
    written.resize(std::fread(written.data(), 1, written.size(), file));
    std::fclose(file);
    EXPECT_EQ(written, plainText);
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
