#include <QInputMethodEvent>
#include <QSignalSpy>

#include "form1_fixture.h"

using namespace tumblecast;
using tumblecast::test::Form1Test;

using Form1Fields = Form1Test;

TEST_F(Form1Fields, KeyFilterTakesDigitsAndBackspaceAndBeepsAtAnythingElse)
{
    form->Check1->setValue(1);
    form->Check2->setValue(1);
    form->Check3->setValue(1);
    for (TextBox* field : {form->Text2, form->Text3, form->Text4, form->Text5, form->Text6}) {
        retype(field, QStringLiteral("12"));
        ASSERT_EQ(field->text(), QStringLiteral("12"));
        const int beeps = platform.beeps;

        QTest::keyClicks(field, QStringLiteral("a- +.,"));
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClick(field, Qt::Key_Escape);
        EXPECT_EQ(platform.beeps, beeps + 8);
        EXPECT_EQ(field->text(), QStringLiteral("12"));

        // The clipboard and editing shortcuts arrive as control codes and are refused like letters.
        QApplication::clipboard()->setText(QStringLiteral("77"));
        field->selectAll();
        sendCode(field, Qt::Key_C, 3);
        sendCode(field, Qt::Key_V, 22);
        sendCode(field, Qt::Key_X, 24);
        sendCode(field, Qt::Key_Z, 26);
        sendCode(field, Qt::Key_A, 1);
        EXPECT_EQ(platform.beeps, beeps + 13);
        EXPECT_EQ(field->text(), QStringLiteral("12"));
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("77"));

        // Keys without a character are not filtered.
        field->setCursorPosition(2);
        QTest::keyClick(field, Qt::Key_Left);
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClick(field, Qt::Key_Home);
        QTest::keyClicks(field, QStringLiteral("3"));
        EXPECT_EQ(field->text(), QStringLiteral("31"));
        QTest::keyClick(field, Qt::Key_End);
        QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_EQ(field->text(), QStringLiteral("3"));
        EXPECT_EQ(platform.beeps, beeps + 13);
    }
}

TEST_F(Form1Fields, DiceAndSidesNeverEmptyNorBelowZeroNorAboveTheLargestDie)
{
    for (TextBox* field : {form->Text2, form->Text3}) {
        retype(field, QString());
        EXPECT_EQ(field->text(), QStringLiteral("0"));
        pasteAll(field, QStringLiteral(" 5"));
        EXPECT_EQ(field->text(), QStringLiteral("0"));
        pasteAll(field, QStringLiteral("-7"));
        EXPECT_EQ(field->text(), QStringLiteral("0"));
        // Not a number: left for Generate to refuse, and the handler does not fail.
        pasteAll(field, QStringLiteral("12a"));
        EXPECT_EQ(field->text(), QStringLiteral("12a"));
        pasteAll(field, QStringLiteral("inf"));
        EXPECT_EQ(field->text(), QStringLiteral("inf"));
    }
    retype(form->Text3, QStringLiteral("999999"));
    EXPECT_EQ(form->Text3->text(), QStringLiteral("999998"));
    pasteAll(form->Text3, QStringLiteral("1e9"));  // not digits: no number to cap
    EXPECT_EQ(form->Text3->text(), QStringLiteral("1e9"));
    pasteAll(form->Text3, QStringLiteral("12345678"));  // cut to six characters first
    EXPECT_EQ(form->Text3->text(), QStringLiteral("123456"));
    retype(form->Text2, QStringLiteral("99999"));  // the fifth digit does not fit
    EXPECT_EQ(form->Text2->text(), QStringLiteral("9999"));
    retype(form->Text2, QStringLiteral("0"));  // a lone zero stays: it is not below "0"
    EXPECT_EQ(form->Text2->text(), QStringLiteral("0"));
}

TEST_F(Form1Fields, ModifiersEmptyTextBelowZeroAndRepeatCountRunsItsRuleNested)
{
    form->Check1->setValue(1);
    retype(form->Text4, QStringLiteral("5"));
    retype(form->Text4, QString());
    EXPECT_EQ(form->Text4->text(), QString());
    pasteAll(form->Text4, QStringLiteral(" 5"));
    EXPECT_EQ(form->Text4->text(), QString());
    retype(form->Text4, QStringLiteral("0"));
    EXPECT_EQ(form->Text4->text(), QStringLiteral("0"));

    form->Check3->setValue(1);
    EXPECT_EQ(form->Text6->text(), QString());  // emptying an empty field changes nothing
    retype(form->Text6, QStringLiteral("3"));
    retype(form->Text6, QString());
    EXPECT_EQ(form->Text6->text(), QStringLiteral("0"));

    // "-" is emptied, and the nested run of the same rule refills the emptied field with "0".
    QSignalSpy changes(form->Text6, &QLineEdit::textChanged);
    pasteAll(form->Text6, QStringLiteral("-"));
    EXPECT_EQ(form->Text6->text(), QStringLiteral("0"));
    QStringList seen;
    for (const auto& args : changes) seen << args.at(0).toString();
    seen.sort();
    EXPECT_EQ(seen, (QStringList{QString(), QStringLiteral("-"), QStringLiteral("0")}));
}

TEST_F(Form1Fields, SwitchesEmptyTheirFieldAndSetItsStateAndColour)
{
    const auto window = SystemColor::WindowBackground;
    const auto face = SystemColor::ButtonFace;

    QTest::mouseClick(form->Check1, Qt::LeftButton);
    EXPECT_EQ(form->Check1->value(), 1);
    EXPECT_TRUE(form->Text4->isEnabled());
    EXPECT_EQ(backColor(form->Text4), window);
    EXPECT_EQ(form->Text4->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    EXPECT_TRUE(form->Text4->hasFocus());
    QTest::keyClicks(form->Text4, QStringLiteral("42"));
    QTest::mouseClick(form->Check1, Qt::LeftButton);
    EXPECT_EQ(form->Text4->text(), QString());
    EXPECT_FALSE(form->Text4->isEnabled());
    EXPECT_EQ(backColor(form->Text4), face);
    EXPECT_EQ(form->Text4->palette().color(QPalette::Disabled, QPalette::Base),
              QApplication::palette().color(QPalette::Button));

    // The repeat count keeps "0" once it has held text.
    QTest::mouseClick(form->Check3, Qt::LeftButton);
    QTest::mouseClick(form->Check3, Qt::LeftButton);
    EXPECT_EQ(form->Text6->text(), QString());
    QTest::mouseClick(form->Check3, Qt::LeftButton);
    QTest::keyClicks(form->Text6, QStringLiteral("3"));
    QTest::mouseClick(form->Check3, Qt::LeftButton);
    EXPECT_EQ(form->Text6->text(), QStringLiteral("0"));
    EXPECT_FALSE(form->Text6->isEnabled());
    EXPECT_EQ(backColor(form->Text6), face);
    QTest::mouseClick(form->Check3, Qt::LeftButton);
    EXPECT_EQ(form->Text6->text(), QStringLiteral("0"));
    EXPECT_TRUE(form->Text6->hasFocus());
    EXPECT_EQ(form->Text6->selectedText(), QStringLiteral("0"));

    // A user's click never leaves a box grey.
    form->Check2->setValue(2);
    QTest::mouseClick(form->Check2, Qt::LeftButton);
    EXPECT_EQ(form->Check2->value(), 0);
    QTest::mouseClick(form->Check2, Qt::LeftButton);
    EXPECT_EQ(form->Check2->value(), 1);
}

TEST_F(Form1Fields, FocusAndDoubleClickSelectTheWholeField)
{
    form->Text3->setText(QStringLiteral("123456"));
    form->Text2->setFocus();
    QTest::keyClick(form->Text2, Qt::Key_Tab);
    ASSERT_TRUE(form->Text3->hasFocus());
    EXPECT_EQ(form->Text3->selectedText(), QStringLiteral("123456"));
    QTest::keyClicks(form->Text3, QStringLiteral("8"));
    EXPECT_EQ(form->Text3->text(), QStringLiteral("8"));

    form->Text2->setText(QStringLiteral("12"));
    form->Text2->deselect();
    QTest::mouseDClick(form->Text2, Qt::LeftButton, {}, QPoint(4, 8));
    EXPECT_EQ(form->Text2->selectedText(), QStringLiteral("12"));

    // Focus given by the program selects too.
    form->Text2->deselect();
    form->Text3->setFocus();
    form->Text2->setFocus();
    EXPECT_EQ(form->Text2->selectedText(), QStringLiteral("12"));

    // Focus coming back from a context menu or another window is no new focus: the selection the user
    // made stays for the menu's Delete or Paste to act on.
    form->Text3->setText(QStringLiteral("123"));
    form->Text3->setFocus();
    form->Text3->setSelection(1, 1);
    for (const Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent back(QEvent::FocusIn, reason);
        QApplication::sendEvent(form->Text3, &back);
        EXPECT_EQ(form->Text3->selectedText(), QStringLiteral("2"));
    }
}

TEST_F(Form1Fields, ComposedTextPassesTheKeyFilterToo)
{
    EXPECT_FALSE(form->Text2->testAttribute(Qt::WA_InputMethodEnabled));
    form->Text2->setFocus();
    form->Text2->selectAll();
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("x7\u00e9"));
    QApplication::sendEvent(form->Text2, &composed);
    EXPECT_EQ(form->Text2->text(), QStringLiteral("7"));
    EXPECT_EQ(platform.beeps, 2);
}
