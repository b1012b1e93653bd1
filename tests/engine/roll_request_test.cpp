#include <gtest/gtest.h>

#include "engine/roll_request.h"

using namespace tumblecast;

namespace {

RollFields valid() { return RollFields{.dice = "2", .sides = "6"}; }

}  // namespace

TEST(RollChecks, OnlyAsciiDigitsReadAsNumbers)
{
    EXPECT_EQ(readNumber("0"), 0u);
    EXPECT_EQ(readNumber("999999"), 999999u);
    EXPECT_EQ(readNumber("0007"), 7u);
    for (const char* bad : {"", " 5", "5 ", "12a", "5.5", "1e3", "+5", "-1", "\xef\xbc\x95", "12345678"})
        EXPECT_EQ(readNumber(bad), std::nullopt) << bad;
}

TEST(RollChecks, RequestReadsOnlyWhatTheRunNeedsAndRefusesNoCount)
{
    RollFields f = valid();
    // Without the per-die branch its field is never read, whatever it holds.
    f.modify = "junk";
    EXPECT_EQ(readRequest(f, false, "3").times, 3u);
    EXPECT_THROW(readRequest(f, true, "1"), RollFailure);

    auto failure = [](const RollFields& fields, const char* times) {
        try {
            readRequest(fields, false, times);
        } catch (const RollFailure& e) {
            return std::string(e.what());
        }
        return std::string("no failure");
    };
    for (auto field : {&RollFields::dice, &RollFields::sides, &RollFields::totalModify}) {
        RollFields g = valid();
        g.*field = "5.5";
        EXPECT_EQ(failure(g, "1"), "Type mismatch");
        g.*field = "0";  // the checks never let a zero count through; a roll of it would be nothing
        EXPECT_EQ(failure(g, "1"),
                  field == &RollFields::totalModify ? "no failure" : "Invalid procedure call or argument");
    }
    EXPECT_EQ(failure(valid(), "2x"), "Type mismatch");
    EXPECT_EQ(failure(valid(), "0"), "Invalid procedure call or argument");
}
