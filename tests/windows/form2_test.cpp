#include "form1_fixture.h"

using namespace tumblecast;
using namespace tumblecast::test;

namespace {

class Form2Test : public Form1Test {
protected:
    // The caption and the four numbers, as the editor shows them.
    static QStringList texts(const Form2* editor)
    {
        return {controlsOf(editor).Text1->text(), controlsOf(editor).Text2->text(),
                controlsOf(editor).Text3->text(), controlsOf(editor).Text4->text(),
                controlsOf(editor).Text5->text()};
    }
};

}  // namespace

TEST_F(Form2Test, OpensInFrontOfTheMainWindowWithTheCaptionSelected)
{
    Form2* editor = openEditor(1);
    EXPECT_EQ(editor->parentWidget(), form.get());  // kept in front of it, out of the task bar
    EXPECT_EQ(editor->minimumSize(), editor->maximumSize());
    EXPECT_EQ(QApplication::focusWidget(), controlsOf(editor).Text1);
    EXPECT_EQ(controlsOf(editor).Text1->selectedText(), QStringLiteral("Slot1"));

    EXPECT_EQ(tabWalk(12), QStringList({"Text2", "Text3", "Check5", "Check4", "Command3", "Command2",
                                        "Command1", "Command4", "Text1", "Text2", "Text3", "Check5"}));
    controlsOf(editor).Check4->setValue(CheckValue::Checked);
    controlsOf(editor).Check5->setValue(CheckValue::Checked);
    controlsOf(editor).Text1->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(tabWalk(6), QStringList({"Text2", "Text3", "Text4", "Text5", "Check5", "Check4"}));
}

TEST_F(Form2Test, AccessKeysActInTheEditorAloneAndEnterAndEscapeDoNothing)
{
    Form2* editor = openEditor(2);
    QTest::keyClicks(controlsOf(editor).Text1, QStringLiteral("Orc"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(editor->isVisible());
    QTest::keyClick(editor, Qt::Key_L, Qt::AltModifier);  // Clear
    EXPECT_EQ(controlsOf(editor).Text1->text(), QString());
    platform.expectMessage(kDiceAndSides);
    QTest::keyClick(editor, Qt::Key_A, Qt::AltModifier);  // Add
    QTest::keyClick(editor, Qt::Key_C, Qt::AltModifier);  // Cancel, not the main window's Close
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(platform.endings, 0);
}

TEST_F(Form2Test, LoadsTheSlotCutToItsFieldsWithTheModifiersSwitched)
{
    writeProfile("[Slot3]\nCaption=ABCDEFGHIJKLMNO\nDice=0\nSides=1000\nModify=0\nTModify=2\n");
    Form2* editor = openEditor(3);
    EXPECT_EQ(texts(editor), (QStringList{"ABCDEFGHIJ", "", "100", "", "2"}));
    EXPECT_EQ(controlsOf(editor).Check4->value(), CheckValue::Unchecked);
    EXPECT_FALSE(controlsOf(editor).Text4->isEnabled());
    EXPECT_EQ(controlsOf(editor).Check5->value(), CheckValue::Checked);
    EXPECT_TRUE(controlsOf(editor).Text5->isEnabled());
}

TEST_F(Form2Test, AMissingProfileLoadsDefaultsAndIsRecreatedWithEmptyModifiersOnClosing)
{
    ASSERT_TRUE(QFile::remove(ProfilePath(platform.executableDir())));
    Form2* editor = openEditor(5);
    EXPECT_EQ(texts(editor), (QStringList{"Slot5", "", "", "", ""}));
    EXPECT_FALSE(QFile::exists(ProfilePath(platform.executableDir())));

    editor->close();  // the close box
    EXPECT_EQ(profile().count("Modify=\nTModify=\n"), 5);
    EXPECT_TRUE(profile().endsWith("[Options]\nQuickSlots=1\n"));
    EXPECT_EQ(ui->Label17->text(), QStringLiteral("Slot5"));
}

TEST_F(Form2Test, AddStoresTheSlotByteForByteAndTheBarShowsIt)
{
    const QByteArray before = profile();
    Form2* editor = openEditor(2);
    QTest::keyClicks(controlsOf(editor).Text1, QStringLiteral("Orc"));  // replaces the selected caption
    QTest::keyClick(controlsOf(editor).Text1, Qt::Key_Tab);
    QTest::keyClicks(controlsOf(editor).Text2, QStringLiteral("2"));
    QTest::keyClick(controlsOf(editor).Text2, Qt::Key_Tab);
    QTest::keyClicks(controlsOf(editor).Text3, QStringLiteral("6"));
    click(controlsOf(editor).Check4);
    QTest::keyClicks(controlsOf(editor).Text4, QStringLiteral("1"));
    click(controlsOf(editor).Command1);

    QByteArray expected = before;
    expected.replace("[Slot2]\nEnabled=0\nCaption=Slot2\nDice=\nSides=\nModify=0\nTModify=0\n",
                     "[Slot2]\nEnabled=1\nCaption=Orc\nDice=2\nSides=6\nModify=1\nTModify=0\n");
    EXPECT_EQ(profile(), expected);
    EXPECT_EQ(ui->Label14->text(), QStringLiteral("Orc"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form->slotEditor(), nullptr);

    click(ui->Option12);
    EXPECT_EQ(ui->Text4->text(), QStringLiteral("1"));
    EXPECT_FALSE(ui->Text1->isEmpty());
}

TEST_F(Form2Test, AddReportsTheFirstMissingFieldAndStoresNothing)
{
    struct Row {
        const char* name;
        const char* dice;
        const char* sides;
        bool modify, total;
        const QString& message;
    };
    const Row rows[] = {{"SidesMissing", "2", "", false, false, kDiceAndSides},
                        {"BothMissing", "", "", true, true, kDiceAndSides},
                        {"BothModifiersEmpty", "2", "6", true, true, kModify},
                        {"TotalModifierEmpty", "2", "6", false, true, kTotal}};
    const QByteArray before = profile();
    Form2* editor = openEditor(1);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        platform.expectMessage(row.message);
        controlsOf(editor).Check4->setValue(row.modify ? CheckValue::Checked : CheckValue::Unchecked);
        controlsOf(editor).Check5->setValue(row.total ? CheckValue::Checked : CheckValue::Unchecked);
        controlsOf(editor).Text2->setText(QString::fromUtf8(row.dice));
        controlsOf(editor).Text3->setText(QString::fromUtf8(row.sides));
        click(controlsOf(editor).Command1);
        EXPECT_TRUE(platform.pendingMessages().empty());
        EXPECT_TRUE(editor->isVisible());
    }
    EXPECT_EQ(profile(), before);

    // Clear empties every field and leaves the boxes: Add then asks for dice and sides again.
    controlsOf(editor).Text2->setText(QStringLiteral("2"));
    controlsOf(editor).Text3->setText(QStringLiteral("6"));
    click(controlsOf(editor).Command2);
    EXPECT_EQ(texts(editor), QStringList(5));
    EXPECT_TRUE(controlsOf(editor).Text5->isEnabled());
    platform.expectMessage(kDiceAndSides);
    click(controlsOf(editor).Command1);
}

TEST_F(Form2Test, RemoveResetsTheSlotAndCancelWritesNothing)
{
    storeQuickSlot(platform.executableDir(), 4, {"Four", "3", "8", "1", "2"});
    restart();
    click(controlsOf(openEditor(4)).Command4);
    EXPECT_TRUE(profile().contains(
        "[Slot4]\nEnabled=0\nCaption=Slot4\nDice=\nSides=\nModify=0\nTModify=0\n\n[Slot5]"));
    EXPECT_EQ(ui->Label16->text(), QStringLiteral("Slot4"));
    EXPECT_FALSE(ui->Option14->isEnabled());

    // Cancel stores nothing of the fields, yet the bar is read afresh.
    Form2* editor = openEditor(1);
    controlsOf(editor).Text2->setText(QStringLiteral("5"));
    WriteProfileValue(platform.executableDir(), QStringLiteral("Slot1"), QStringLiteral("Caption"),
                      QStringLiteral("Hand"));
    const QByteArray before = profile();
    click(controlsOf(editor).Command3);
    EXPECT_EQ(profile(), before);
    EXPECT_EQ(ui->Label13->text(), QStringLiteral("Hand"));
}

TEST_F(Form2Test, NumericFieldsTakeDigitsOnlyAndAddStoresPastedTextAsItIs)
{
    Form2* editor = openEditor(1);
    QTest::keyClicks(controlsOf(editor).Text1,
                     QStringLiteral("a-b c"));  // the caption takes anything: stored below

    QTest::keyClicks(controlsOf(editor).Text2, QStringLiteral("a- 0"));
    EXPECT_EQ(controlsOf(editor).Text2->text(), QString());  // a lone zero empties
    EXPECT_EQ(platform.beeps, 3);
    QTest::keyClicks(controlsOf(editor).Text2, QStringLiteral("1057"));
    EXPECT_EQ(controlsOf(editor).Text2->text(), QStringLiteral("105"));

    click(controlsOf(editor).Check4);
    QTest::keyClicks(controlsOf(editor).Text4, QStringLiteral("7"));
    click(controlsOf(editor).Check4);
    EXPECT_EQ(controlsOf(editor).Text4->text(), QString());
    EXPECT_FALSE(controlsOf(editor).Text4->isEnabled());

    pasteAll(controlsOf(editor).Text3, QStringLiteral("x1"));
    click(controlsOf(editor).Command1);
    EXPECT_TRUE(profile().startsWith(
        "[Slot1]\nEnabled=1\nCaption=a-b c\nDice=105\nSides=x1\nModify=0\nTModify=0\n\n[Slot2]"));
}

// The editor comes back in front whenever the main window takes over, and only then: not over a window
// the user turned to, such as the about window.
TEST_F(Form2Test, RaisesItselfWhenTheMainWindowIsActivated)
{
    Form2* editor = openEditor(1);
    struct RaiseCount : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::ZOrderChange;
            return false;
        }
    } raises;
    editor->installEventFilter(&raises);

    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(raises.count, 1);

    QApplication::setActiveWindow(editor);
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    click(ui->Command5);
    QWidget* about = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<zentor*>(window)) about = window;
    ASSERT_NE(about, nullptr);
    QApplication::setActiveWindow(about);
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    EXPECT_EQ(raises.count, 1);
}
