#include "form1_fixture.h"

using namespace tumblecast;
using namespace tumblecast::test;

using Form1Slots = Form1Test;

TEST_F(Form1Slots, TheSwitchSlidesTheBarAndKeepsTheChoice)
{
    click(ui->Check6);
    EXPECT_EQ(ui->Check6->value(), CheckValue::Unchecked);
    EXPECT_EQ(form->width(), twips(5085 - 90));
    EXPECT_TRUE(profile().endsWith("[Options]\nQuickSlots=0\n"));

    click(ui->Check6);
    EXPECT_EQ(form->width(), twips(6510));
    EXPECT_TRUE(profile().endsWith("[Options]\nQuickSlots=1\n"));

    // Folded, the next start opens narrow, unchecked, and writes the same choice again.
    click(ui->Check6);
    restart();
    EXPECT_EQ(ui->Check6->value(), CheckValue::Unchecked);
    EXPECT_EQ(form->width(), twips(5085 - 90));
    EXPECT_TRUE(profile().endsWith("[Options]\nQuickSlots=0\n"));
}

TEST_F(Form1Slots, ButtonRollsTheStoredPresetAndDropsModifiersThatAreNoNumber)
{
    writeProfile(
        "[Slot3]\nEnabled=1\nDice=2\nSides=6\nModify=0\nTModify=5\n[Slot4]\nEnabled=1\nDice=1\nSides="
        "6\nTModify=x\n");
    openScripted(6, {3, 5, 2});
    enter({.dice = "9", .sides = "9", .modify = "4"});
    click(ui->Option13);
    EXPECT_EQ(switches(), QStringLiteral("010"));
    EXPECT_EQ(texts(), (QStringList{"2", "6", "", "5", ""}));
    expectOff(ui->Text4);
    EXPECT_EQ(ui->Text1->text(), repetition("3\r\n5\r\n\r\nTotal:8 + 5 = 13"));

    // A missing "Modify" and a "TModify" of letters roll as no modifier at all.
    click(ui->Option14);
    EXPECT_EQ(switches(), QStringLiteral("000"));
    EXPECT_EQ(ui->Text1->text(), repetition("2\r\n\r\nTotal:2 + 0 = 2"));
}

// Slots 2 to 5 untick both boxes first, so a ticked box is switched off and on again; slot 1 does not.
TEST_F(Form1Slots, OnlySlotOneLeavesATickedModifierBoxAlone)
{
    writeProfile(
        "[Slot1]\nEnabled=1\nDice=1\nSides=6\nModify=3\nTModify=0\n"
        "[Slot2]\nEnabled=1\nDice=1\nSides=6\nModify=3\nTModify=0\n"
        "[Slot3]\nEnabled=1\nDice=1\nSides=6\nModify=3\nTModify=2\n");
    restart();
    enter({.dice = "1", .sides = "6", .modify = "9"});
    QSignalSpy check1Runs(ui->Check1, &QCheckBox::stateChanged);

    click(ui->Option12);
    EXPECT_EQ(check1Runs.count(), 2);
    EXPECT_EQ(ui->Text4->text(), QStringLiteral("3"));
    EXPECT_EQ(QApplication::focusWidget(), ui->Text4);

    check1Runs.clear();
    click(ui->Option11);
    EXPECT_EQ(check1Runs.count(), 0);
    EXPECT_EQ(ui->Text4->text(), QStringLiteral("3"));
    EXPECT_EQ(QApplication::focusWidget(), ui->Option11);

    // The total modifier's box is ticked last and takes the focus.
    click(ui->Option13);
    EXPECT_EQ(QApplication::focusWidget(), ui->Text5);
    EXPECT_EQ(ui->Text5->text(), QStringLiteral("2"));
}

// Slot 1's label answers only a double click (slot 5's single click is used by the editor's tests). An editor
// open on one slot reads the next slot asked for, so Add stores that slot's own values; asked for the same
// slot again it keeps what the user typed.
TEST_F(Form1Slots, LabelsOpenTheEditorOnTheirSlotAndAnOpenOneReadsTheNext)
{
    WriteProfileValue(platform.executableDir(), QStringLiteral("Slot2"), QStringLiteral("Caption"),
                      QStringLiteral("Orc"));
    WriteProfileValue(platform.executableDir(), QStringLiteral("Slot2"), QStringLiteral("TModify"),
                      QStringLiteral("4"));
    click(ui->Label13);
    EXPECT_EQ(form->slotEditor(), nullptr);
    EXPECT_EQ(ui->TextHelp->text(), QStringLiteral("Text7"));

    Form2* editor = openEditor(1);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(ui->TextHelp->text(), QStringLiteral("Edit user Slot - Slot1"));
    QTest::keyClicks(controlsOf(editor).Text1, QStringLiteral("Elf"));
    click(controlsOf(editor).Check4);

    EXPECT_EQ(openEditor(2), editor);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Edit user Slot - Slot2"));
    EXPECT_EQ(controlsOf(editor).Text1->text(), QStringLiteral("Orc"));
    EXPECT_EQ(controlsOf(editor).Check4->value(), CheckValue::Unchecked);
    EXPECT_EQ(controlsOf(editor).Check5->value(), CheckValue::Checked);
    EXPECT_EQ(controlsOf(editor).Text5->text(), QStringLiteral("4"));
    EXPECT_TRUE(controlsOf(editor).Text1->hasFocus());

    controlsOf(editor).Text1->setText(QStringLiteral("Orcs"));
    EXPECT_EQ(openEditor(2), editor);
    EXPECT_EQ(controlsOf(editor).Text1->text(), QStringLiteral("Orcs"));
}

TEST_F(Form1Slots, ClosingTheMainWindowDropsAnOpenEditorUnstored)
{
    controlsOf(openEditor(3)).Text1->setText(QStringLiteral("Lost"));
    ASSERT_TRUE(QFile::remove(ProfilePath(platform.executableDir())));
    form->close();
    EXPECT_EQ(platform.endings, 1);
    form.reset();  // the program's end deletes the main window, and the editor with it
    EXPECT_FALSE(
        QFile::exists(ProfilePath(platform.executableDir())));  // no unload ran: no reload recreated it
}

// A fold that cannot be stored is taken back with one message, so a later reload or start does not undo it
// by itself; a first start that cannot create the profile says so and leaves the bar in its design state.
TEST_F(Form1Slots, APlayersWriteThatFailsSaysWhyOnceAndNothingChangesByItself)
{
    const QString path = ProfilePath(platform.executableDir());
    const QByteArray stored = profile();
    platform.expectMessage(QStringLiteral("Cannot write %1: File too large").arg(path));
    {
        FileSizeLimit full(16);
        click(ui->Check6);
    }
    EXPECT_EQ(ui->Check6->value(), CheckValue::Checked);
    EXPECT_EQ(profile(), stored);

    click(controlsOf(openEditor(1)).Command3);  // the reload finds what the bar shows
    EXPECT_EQ(form->width(), twips(6510));

    ASSERT_TRUE(QFile::remove(path));
    platform.expectMessage(QStringLiteral("Cannot write %1: File too large").arg(path));
    {
        FileSizeLimit full(16);
        restart();
    }
    EXPECT_EQ(profile(), "(missing)");
    EXPECT_EQ(ui->Label13->text(), QStringLiteral("Slot1"));
    EXPECT_FALSE(ui->Option11->isEnabled());
}
