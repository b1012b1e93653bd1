#include <QSignalSpy>

#include "scripted_source.h"
#include "slots_fixture.h"

using namespace tumblecast;
using tumblecast::test::ScriptedSource;

using Form1QuickSlots = test::SlotTest;

namespace {
const QString kSep = QStringLiteral("--------------------------------");
}

TEST_F(Form1QuickSlots, ButtonRollsTheStoredPresetAndDropsModifiersThatAreNoNumber)
{
    writeProfile(
        "[Slot3]\nEnabled=1\nDice=2\nSides=6\nModify=0\nTModify=5\n"
        "[Slot4]\nEnabled=1\nDice=1\nSides=6\nTModify=x\n");
    ScriptedSource source(6, {3, 5, 2});
    open(source);
    enter({.dice = "9", .sides = "9", .modify = "4"});
    form->Text1->append("the last roll");

    QTest::mouseClick(form->Option13, Qt::LeftButton);
    EXPECT_EQ(form->Check1->value(), CheckValue::Unchecked);
    EXPECT_FALSE(form->Text4->isEnabled());
    EXPECT_EQ(form->Text4->text(), QString());
    EXPECT_EQ(form->Check2->value(), CheckValue::Checked);
    EXPECT_EQ(form->Text5->text(), QStringLiteral("5"));
    EXPECT_EQ(form->Text1->text(),
              QStringLiteral("3\r\n5\r\n\r\nTotal:8 + 5 = 13\r\n") + kSep + QStringLiteral("\r\n\r\n"));

    // A missing "Modify" and a "TModify" of letters roll as no modifier at all.
    QTest::mouseClick(form->Option14, Qt::LeftButton);
    EXPECT_EQ(form->Check1->value(), CheckValue::Unchecked);
    EXPECT_EQ(form->Check2->value(), CheckValue::Unchecked);
    EXPECT_EQ(form->Text1->text(),
              QStringLiteral("2\r\n\r\nTotal:2 + 0 = 2\r\n") + kSep + QStringLiteral("\r\n\r\n"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

// Slots 2 to 5 untick both boxes first, so a ticked box is switched off and on again; slot 1 does not.
TEST_F(Form1QuickSlots, OnlySlotOneLeavesATickedModifierBoxAlone)
{
    writeProfile(
        "[Slot1]\nEnabled=1\nDice=1\nSides=6\nModify=3\nTModify=0\n"
        "[Slot2]\nEnabled=1\nDice=1\nSides=6\nModify=3\nTModify=0\n"
        "[Slot3]\nEnabled=1\nDice=1\nSides=6\nModify=3\nTModify=2\n");
    open(dice);
    enter({.dice = "1", .sides = "6", .modify = "9"});
    QSignalSpy check1Runs(form->Check1, &QCheckBox::stateChanged);

    QTest::mouseClick(form->Option12, Qt::LeftButton);
    EXPECT_EQ(check1Runs.count(), 2);
    EXPECT_EQ(form->Text4->text(), QStringLiteral("3"));
    EXPECT_EQ(QApplication::focusWidget(), form->Text4);

    check1Runs.clear();
    QTest::mouseClick(form->Option11, Qt::LeftButton);
    EXPECT_EQ(check1Runs.count(), 0);
    EXPECT_EQ(form->Text4->text(), QStringLiteral("3"));
    EXPECT_EQ(QApplication::focusWidget(), form->Option11);

    // The total modifier's box is ticked last and takes the focus.
    QTest::mouseClick(form->Option13, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), form->Text5);
    EXPECT_EQ(form->Text5->text(), QStringLiteral("2"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

// Slot 1's label answers only a double click (slot 5's single click is used by the editor's tests). An editor
// open on one slot reads the next slot asked for, so Add stores that slot's own values; asked for the same
// slot again it keeps what the user typed.
TEST_F(Form1QuickSlots, LabelsOpenTheEditorOnTheirSlotAndAnOpenOneReadsTheNext)
{
    WriteProfileValue(platform, QStringLiteral("Slot2"), QStringLiteral("Caption"), QStringLiteral("Orc"));
    WriteProfileValue(platform, QStringLiteral("Slot2"), QStringLiteral("TModify"), QStringLiteral("4"));
    QTest::mouseClick(form->Label13, Qt::LeftButton);
    EXPECT_EQ(form->slotEditor(), nullptr);
    EXPECT_EQ(form->TextHelp->text(), QStringLiteral("Text7"));

    Form2* editor = openEditor(1);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(form->TextHelp->text(), QStringLiteral("Edit user Slot - Slot1"));
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Edit user Slot - Slot1"));
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("Slot1"));
    QTest::keyClicks(editor->Text1, QStringLiteral("Elf"));
    QTest::mouseClick(editor->Check4, Qt::LeftButton);

    EXPECT_EQ(openEditor(2), editor);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Edit user Slot - Slot2"));
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("Orc"));
    EXPECT_EQ(editor->Check4->value(), CheckValue::Unchecked);
    EXPECT_EQ(editor->Check5->value(), CheckValue::Checked);
    EXPECT_EQ(editor->Text5->text(), QStringLiteral("4"));
    EXPECT_TRUE(editor->Text1->hasFocus());

    editor->Text1->setText(QStringLiteral("Orcs"));
    EXPECT_EQ(openEditor(2), editor);
    EXPECT_EQ(editor->Text1->text(), QStringLiteral("Orcs"));
}

TEST_F(Form1QuickSlots, ClosingTheMainWindowDropsAnOpenEditorUnstored)
{
    Form2* editor = openEditor(3);
    editor->Text1->setText(QStringLiteral("Lost"));
    ASSERT_TRUE(QFile::remove(ProfilePath(platform)));
    form->close();
    EXPECT_EQ(platform.endings, 1);
    form.reset();  // the program's end deletes the main window, and the editor with it
    EXPECT_FALSE(QFile::exists(ProfilePath(platform)));  // no unload ran: no reload recreated it
}
