#include <gtest/gtest.h>

#include "engine/roll_request.h"

using namespace tumblecast;

namespace {

RollFields valid()
{
    return RollFields{.dice = "2", .sides = "6"};
}

}  // namespace

TEST(RollChecks, FirstFailingCheckWinsAndDisabledFieldsAreNotTested)
{
    EXPECT_EQ(firstFailedCheck(valid()), std::nullopt);

    for (const char* dice : {"", "0", "00", "0000"}) {
        RollFields f = valid();
        f.dice = dice;
        f.modifyEnabled = true;  // would fail too, but comes later
        EXPECT_EQ(firstFailedCheck(f), kNeedDiceAndSides) << dice;
    }
    for (const char* sides : {"", "0", "000000"}) {
        RollFields f = valid();
        f.sides = sides;
        EXPECT_EQ(firstFailedCheck(f), kNeedDiceAndSides) << sides;
    }

    RollFields f = valid();
    f.modifyEnabled = true;
    f.totalModifyEnabled = true;
    f.timesEnabled = true;
    EXPECT_EQ(firstFailedCheck(f), kNeedModify);
    f.modify = "0";
    EXPECT_EQ(firstFailedCheck(f), kNeedModify);
    f.modify = "00";  // normalisation empties it later; the run then adds 0
    EXPECT_EQ(firstFailedCheck(f), kNeedTotalModify);
    f.totalModify = "5";
    EXPECT_EQ(firstFailedCheck(f), kNeedTimes);
    for (const char* times : {"0", "000"}) {
        f.times = times;
        EXPECT_EQ(firstFailedCheck(f), kNeedTimes);
    }
    f.times = "3";
    EXPECT_EQ(firstFailedCheck(f), std::nullopt);

    // Switched off: whatever the field holds is not looked at.
    RollFields off = valid();
    off.modify = "";
    off.totalModify = "0";
    off.times = "0";
    EXPECT_EQ(firstFailedCheck(off), std::nullopt);

    // Text only pasting brings passes the checks; reading it is what fails.
    RollFields pasted = valid();
    pasted.dice = " 5";
    EXPECT_EQ(firstFailedCheck(pasted), std::nullopt);
}

TEST(RollChecks, OnlyAsciiDigitsReadAsNumbers)
{
    EXPECT_EQ(readNumber("0"), 0u);
    EXPECT_EQ(readNumber("999999"), 999999u);
    EXPECT_EQ(readNumber("0007"), 7u);
    for (const char* bad : {"", " 5", "5 ", "12a", "5.5", "1e3", "+5", "-1", "\xef\xbc\x95", "12345678"})
        EXPECT_EQ(readNumber(bad), std::nullopt) << bad;
}

TEST(RollChecks, RequestCarriesModifierTextsAndFailsOnText)
{
    RollFields f = valid();
    f.modify = "7";
    f.totalModify = "";
    RollRequest r = readRequest(f, true, "3");
    EXPECT_EQ(r.dice, 2u);
    EXPECT_EQ(r.sides, 6u);
    EXPECT_EQ(r.times, 3u);
    EXPECT_TRUE(r.perDie);
    EXPECT_EQ(r.modify, 7u);
    EXPECT_EQ(r.modifyText, "7");
    EXPECT_EQ(r.totalModify, 0u);
    EXPECT_EQ(r.totalModifyText, "0");

    // Without the per-die branch its field is never read, whatever it holds.
    f.modify = "junk";
    EXPECT_NO_THROW(readRequest(f, false, "1"));
    EXPECT_THROW(readRequest(f, true, "1"), RollFailure);

    for (auto field : {&RollFields::dice, &RollFields::sides, &RollFields::totalModify}) {
        RollFields g = valid();
        g.*field = "5.5";
        try {
            readRequest(g, false, "1");
            ADD_FAILURE() << "no failure";
        } catch (const RollFailure& e) {
            EXPECT_STREQ(e.what(), "Type mismatch");
        }
    }
    EXPECT_THROW(readRequest(valid(), false, "2x"), RollFailure);
}
