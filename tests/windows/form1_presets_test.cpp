#include "form1_fixture.h"
#include "plain_record.h"

using namespace tumblecast;
using namespace tumblecast::test;

using Form1Presets = Form1Test;

// Each preset switches both modifiers off, fills dice and sides and rolls as often as the user asks: the
// repeat count is left as it was, and obeyed. Every run rolls on from the generator, never from its start.
TEST_F(Form1Presets, PlainPresetsRollTheirDiceWithoutModifiers)
{
    struct Row {
        CommandButton* button;
        int dice, sides;
    };
    const Row rows[] = {{ui->Option1, 1, 2},  {ui->Option2, 1, 4},   {ui->Option3, 1, 6},
                        {ui->Option4, 1, 8},  {ui->Option5, 1, 10},  {ui->Option6, 1, 12},
                        {ui->Option7, 1, 20}, {ui->Option8, 1, 100}, {ui->Option15, 3, 6},
                        {ui->Option10, 2, 4}};
    std::uint64_t rolled = 0;  // dice of the runs before
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button->objectName().toStdString());
        enter({.dice = "9", .sides = "9", .modify = "5", .total = "3", .times = "2"});
        click(row.button);
        EXPECT_EQ(texts(), (QStringList{QString::number(row.dice), QString::number(row.sides), "", "", "2"}));
        EXPECT_EQ(switches(), QStringLiteral("001"));
        expectOff(ui->Text4);
        expectOff(ui->Text5);
        const RollRequest request{
            .dice = std::uint64_t(row.dice), .sides = std::uint64_t(row.sides), .times = 2};
        EXPECT_EQ(ui->Text1->text().toStdString(), plainRecord(request, dice, rolled));
        rolled += request.dice * request.times;
    }
}

TEST_F(Form1Presets, OneD6PlusOneTicksModifyPutsOneInItAndRolls)
{
    openScripted(6, {3, 5});
    enter({.dice = "4", .sides = "8", .total = "4"});

    // From unticked: the tick moves the focus into the modifier field, where it stays.
    click(ui->Option9);
    EXPECT_EQ(switches(), QStringLiteral("100"));
    EXPECT_TRUE(ui->Text4->hasFocus());
    EXPECT_EQ(texts(), (QStringList{"1", "6", "1", "", ""}));
    EXPECT_EQ(ui->Text1->text(), repetition("3 + 1 = 4\r\n\r\nTotal:4 + 0 = 4"));

    // Already ticked with another amount: replaced by 1.
    ui->Text4->setText(QStringLiteral("3"));
    click(ui->Option9);
    EXPECT_EQ(ui->Text4->text(), QStringLiteral("1"));
    EXPECT_EQ(ui->Text1->text(), repetition("5 + 1 = 6\r\n\r\nTotal:6 + 0 = 6"));
}

TEST_F(Form1Presets, APresetWhoseRollFailsACheckKeepsWhatItSet)
{
    enter({.dice = "4", .sides = "8", .modify = "2", .times = ""});
    showText("the last roll");
    platform.expectMessage(kTimes);
    click(ui->Option7);
    EXPECT_EQ(texts(), (QStringList{"1", "20", "", "", ""}));
    EXPECT_EQ(switches(), QStringLiteral("001"));
    EXPECT_TRUE(ui->Text1->isEmpty());
}
