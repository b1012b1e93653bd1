#include <QInputMethodEvent>

#include "form1_fixture.h"

using namespace tumblecast;
using namespace tumblecast::test;

using Form1Fields = Form1Test;

TEST_F(Form1Fields, KeyFiltersTakeDigitsAndBackspaceAndBeepAtAnythingElse)
{
    enter({.modify = "", .total = "", .times = ""});
    // Each field's own filter: letters, signs, Enter and the clipboard shortcuts (control codes) are refused.
    QApplication::clipboard()->setText(QStringLiteral("77"));
    for (const char* name : {"Text2", "Text3", "Text4", "Text5", "Text6"}) {
        SCOPED_TRACE(name);
        platform.beeps = 0;
        TextBox* box = field(name);
        retype(box, QStringLiteral("12"));
        QTest::keyClicks(box, QStringLiteral("a- +.,"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Escape);
        box->selectAll();
        for (const auto& [key, code] :
             {std::pair{Qt::Key_C, 3}, {Qt::Key_V, 22}, {Qt::Key_X, 24}, {Qt::Key_Z, 26}})
            sendCode(box, key, static_cast<char16_t>(code));
        EXPECT_EQ(platform.beeps, 12);
        EXPECT_EQ(box->text(), QStringLiteral("12"));
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("77"));
    }

    // Keys without a character are not filtered.
    TextBox* box = ui->Text2;
    platform.beeps = 0;
    box->setFocus();
    box->setCursorPosition(2);
    for (Qt::Key key :
         {Qt::Key_Left, Qt::Key_Delete, Qt::Key_Home, Qt::Key_3, Qt::Key_End, Qt::Key_Backspace})
        QTest::keyClick(box, key);
    EXPECT_EQ(box->text(), QStringLiteral("3"));
    EXPECT_EQ(platform.beeps, 0);

    // Composed text (dead keys, an input method) passes the filter too, character by character.
    box->selectAll();
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("x7\u00e9"));
    QApplication::sendEvent(box, &composed);
    EXPECT_EQ(box->text(), QStringLiteral("7"));
    EXPECT_EQ(platform.beeps, 2);
}

// Every change is corrected at once; typed over the whole text, or pasted through the context menu, which no
// key filter sees.
TEST_F(Form1Fields, ChangeRulesCorrectTheFieldAfterEveryChange)
{
    struct Row {
        const char* field;
        bool paste;
        const char* text;
        const char* shown;
    };
    const Row rows[] = {{"Text2", false, "", "0"},
                        {"Text2", false, "0", "0"},
                        {"Text2", true, " 5", "0"},
                        {"Text2", true, "-7", "0"},
                        {"Text2", true, "12a", "12a"},
                        {"Text2", false, "99999", "9999"},
                        {"Text3", false, "", "0"},
                        {"Text3", false, "999999", "999998"},
                        {"Text3", true, "1e9", "1e9"},
                        {"Text3", true, "inf", "inf"},
                        {"Text3", true, "12345678", "123456"},
                        {"Text4", false, "", ""},
                        {"Text4", true, " 5", ""},
                        {"Text4", false, "0", "0"},
                        {"Text5", true, "-1", ""},
                        {"Text6", false, "", "0"},
                        {"Text6", true, "-", "0"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.field) + " '" + row.text + "'");
        enter({.dice = "3", .sides = "6", .modify = "5", .total = "5", .times = "5"});
        if (row.paste)
            pasteAll(field(row.field), QString::fromUtf8(row.text));
        else
            retype(field(row.field), QString::fromUtf8(row.text));
        EXPECT_EQ(field(row.field)->text(), QString::fromUtf8(row.shown));
    }
    EXPECT_EQ(platform.beeps, 0);
}

// The rule runs again, nested, on the text it set itself: "-" is emptied, and the nested run refills "0".
TEST_F(Form1Fields, RepeatCountRunsItsRuleNested)
{
    enter({.times = "3"});
    QSignalSpy changes(ui->Text6, &QLineEdit::textChanged);
    pasteAll(ui->Text6, QStringLiteral("-"));
    QStringList seen;
    for (const auto& args : changes) seen << args.at(0).toString();
    seen.sort();
    EXPECT_EQ(seen, (QStringList{QString(), QStringLiteral("-"), QStringLiteral("0")}));
}

TEST_F(Form1Fields, SwitchesEmptyTheirFieldAndSetItsStateAndColour)
{
    click(ui->Check1);
    EXPECT_EQ(switches(), QStringLiteral("100"));
    EXPECT_TRUE(ui->Text4->isEnabled());
    EXPECT_EQ(ui->Text4->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    EXPECT_TRUE(ui->Text4->hasFocus());
    QTest::keyClicks(ui->Text4, QStringLiteral("42"));
    click(ui->Check1);
    EXPECT_EQ(ui->Text4->text(), QString());
    expectOff(ui->Text4);

    // The repeat count keeps "0" once it has held text.
    click(ui->Check3);
    click(ui->Check3);
    EXPECT_EQ(ui->Text6->text(), QString());
    click(ui->Check3);
    QTest::keyClicks(ui->Text6, QStringLiteral("3"));
    click(ui->Check3);
    EXPECT_EQ(ui->Text6->text(), QStringLiteral("0"));
    expectOff(ui->Text6);
    click(ui->Check3);
    EXPECT_TRUE(ui->Text6->hasFocus());
    EXPECT_EQ(ui->Text6->selectedText(), QStringLiteral("0"));

    // A user's click never leaves a box grey.
    ui->Check2->setValue(CheckValue::Grayed);
    click(ui->Check2);
    EXPECT_EQ(ui->Check2->value(), CheckValue::Unchecked);
}

TEST_F(Form1Fields, FocusSelectsTheWholeFieldUnlessItComesBack)
{
    ui->Text3->setText(QStringLiteral("123456"));
    ui->Text2->setFocus();
    QTest::keyClick(ui->Text2, Qt::Key_Tab);
    ASSERT_TRUE(ui->Text3->hasFocus());
    EXPECT_EQ(ui->Text3->selectedText(), QStringLiteral("123456"));

    // Focus coming back from a context menu or another window is no new focus: the selection the user
    // made stays for the menu's Delete or Paste to act on.
    ui->Text3->setFocus();
    ui->Text3->setSelection(1, 1);
    for (const Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent back(QEvent::FocusIn, reason);
        QApplication::sendEvent(ui->Text3, &back);
        EXPECT_EQ(ui->Text3->selectedText(), QStringLiteral("2"));
    }
}
