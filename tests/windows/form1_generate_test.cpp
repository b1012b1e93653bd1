#include <QProgressBar>

#include "form1_fixture.h"
#include "scripted_source.h"

using namespace tumblecast;
using tumblecast::test::Form1Test;
using tumblecast::test::ScriptedSource;

using Form1Generate = Form1Test;

namespace {

const QString kSep = QStringLiteral("--------------------------------");
const QString kDiceAndSides = QStringLiteral("You must enter a dice and side input.");

}  // namespace

TEST_F(Form1Generate, EachCheckShowsItsMessageOnceAndTouchesNoField)
{
    const char* modify = "You must enter a modifyer or disable this feature.";
    const char* total = "You must enter a total modifyer or disable this feature.";
    const char* times = "You must enter how many times to roll or disable this feature.";
    struct Case {
        const char *dice, *sides, *modify, *total, *times, *message;  // a null field is switched off
    };
    const Case cases[] = {
        {"0", "6", nullptr, nullptr, nullptr, nullptr},    // a fresh start's zero dice
        {"007", "0", nullptr, nullptr, nullptr, nullptr},  // a failed run strips no zeros
        {"0000", "6", nullptr, nullptr, nullptr, nullptr},
        {"2", "000000", "", nullptr, nullptr, nullptr},  // only the first failing check speaks
        {"2", "6", "", "", "", modify},
        {"2", "6", "1", "", "", total},
        {"2", "6", "1", "1", "", times},
        {"2", "6", "1", "1", "000", times},
    };
    for (const Case& c : cases) {
        const QString message = c.message ? QString::fromLatin1(c.message) : kDiceAndSides;
        form->Text2->setText(QString::fromLatin1(c.dice));
        form->Text3->setText(QString::fromLatin1(c.sides));
        const std::tuple<CheckBox*, TextBox*, const char*> optional[] = {
            {form->Check1, form->Text4, c.modify},
            {form->Check2, form->Text5, c.total},
            {form->Check3, form->Text6, c.times}};
        for (auto [box, field, text] : optional) {
            box->setValue(text ? 1 : 0);
            field->setText(QString::fromLatin1(text));
        }
        form->Text1->append("the last roll");
        platform.messages.clear();
        generate();
        EXPECT_EQ(platform.messages, QStringList{message}) << c.dice << " " << c.sides;
        EXPECT_TRUE(form->Text1->isEmpty());
        EXPECT_FALSE(form->Command6->isEnabled());
        EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(form->Text2->text(), QString::fromLatin1(c.dice));
        EXPECT_EQ(form->Text3->text(), QString::fromLatin1(c.sides));
        EXPECT_EQ(form->Text6->text(), QString::fromLatin1(c.times));
    }
    EXPECT_TRUE(form->Text12->text().isEmpty());  // no run got as far as storing its count
}

TEST_F(Form1Generate, LeadingZerosAreStrippedThroughTheFieldsAndShownStripped)
{
    ScriptedSource source(20, {4, 9, 1, 2, 3, 4, 5, 6, 7});
    open(source);
    form->Text2->setText(QStringLiteral("0002"));
    form->Text3->setText(QStringLiteral("0020"));
    form->Check1->setValue(1);
    form->Text4->setText(QStringLiteral("007"));
    form->Check2->setValue(1);
    form->Text5->setText(QStringLiteral("005"));
    generate();
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(form->Text2->text(), QStringLiteral("2"));
    EXPECT_EQ(form->Text3->text(), QStringLiteral("20"));
    EXPECT_EQ(form->Text4->text(), QStringLiteral("7"));
    EXPECT_EQ(form->Text5->text(), QStringLiteral("5"));
    EXPECT_EQ(form->Text1->text(), QStringLiteral("4 + 7 = 11\r\n9 + 7 = 16\r\n\r\nTotal:27 + 5 = 32\r\n") +
                                       kSep + QStringLiteral("\r\n\r\n"));

    // A modifier of zeros only empties in the stripping, and the record shows it as 0.
    form->Text4->setText(QStringLiteral("000"));
    form->Text5->setText(QStringLiteral("00"));
    generate();
    EXPECT_EQ(form->Text4->text(), QString());
    EXPECT_EQ(form->Text5->text(), QString());
    EXPECT_TRUE(
        form->Text1->text().startsWith(QStringLiteral("1 + 0 = 1\r\n2 + 0 = 2\r\n\r\nTotal:3 + 0 = 3\r\n")));

    // The repeat count is stripped as well, and stored for the run.
    form->Check1->setValue(0);
    form->Check2->setValue(0);
    form->Check3->setValue(1);
    form->Text2->setText(QStringLiteral("1"));
    form->Text6->setText(QStringLiteral("0005"));
    generate();
    EXPECT_EQ(form->Text6->text(), QStringLiteral("5"));
    EXPECT_EQ(form->Text12->text(), QStringLiteral("5"));
    EXPECT_EQ(form->Text1->text().count(QStringLiteral("Total:")), 5);
    EXPECT_EQ(form->Text6->selectedText(), QStringLiteral("5"));
}

TEST_F(Form1Generate, WorkedExampleByteForByte)
{
    ScriptedSource source(6, {3, 5, 6, 1, 3, 5});
    open(source);
    retype(form->Text2, QStringLiteral("2"));
    retype(form->Text3, QStringLiteral("6"));
    QTest::mouseClick(form->Check1, Qt::LeftButton);
    QTest::keyClicks(form->Text4, QStringLiteral("1"));
    QTest::mouseClick(form->Check2, Qt::LeftButton);
    QTest::keyClicks(form->Text5, QStringLiteral("2"));
    QTest::mouseClick(form->Check3, Qt::LeftButton);
    QTest::keyClicks(form->Text6, QStringLiteral("2"));
    generate();

    const QString expected = QStringLiteral("3 + 1 = 4\r\n5 + 1 = 6\r\n\r\nTotal:10 + 2 = 12\r\n") + kSep +
                             QStringLiteral("\r\n\r\n6 + 1 = 7\r\n1 + 1 = 2\r\n\r\nTotal:9 + 2 = 11\r\n") +
                             kSep + QStringLiteral("\r\n\r\n");
    EXPECT_EQ(form->Text1->text(), expected);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(form->ProgressBar1->value(), 0);
    EXPECT_EQ(form->ProgressBar1->maximum(), 2);
    EXPECT_TRUE(form->Command6->isEnabled());
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The record copies out of the box exactly, line ends and all.
    form->Text1->setFocus();
    QTest::keyClick(form->Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form->Text1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform.clipboard, QStringList{expected});

    // Both modifiers off: the plain branch.
    QTest::mouseClick(form->Check1, Qt::LeftButton);
    QTest::mouseClick(form->Check2, Qt::LeftButton);
    QTest::mouseClick(form->Check3, Qt::LeftButton);
    generate();
    EXPECT_EQ(form->Text1->text(),
              QStringLiteral("3\r\n5\r\n\r\nTotal:8 + 0 = 8\r\n") + kSep + QStringLiteral("\r\n\r\n"));
    // The repeat field was switched off holding "0": one repetition.
    EXPECT_EQ(form->Text6->text(), QStringLiteral("0"));
    EXPECT_EQ(form->Text12->text(), QStringLiteral("1"));
}

TEST_F(Form1Generate, TextThatIsNoNumberEndsOnTheFailurePath)
{
    struct Case {
        TextBox* field;
        const char* pasted;
    };
    form->Check1->setValue(1);
    form->Check2->setValue(1);
    form->Check3->setValue(1);
    for (const Case c :
         {Case{form->Text2, "12a"}, Case{form->Text2, "5.5"}, Case{form->Text3, "1e3"},
          Case{form->Text4, "\xef\xbc\x95"}, Case{form->Text5, "4 2"}, Case{form->Text6, "3x"}}) {
        form->Text2->setText(QStringLiteral("3"));
        form->Text3->setText(QStringLiteral("6"));
        form->Text4->setText(QStringLiteral("1"));
        form->Text5->setText(QStringLiteral("1"));
        form->Text6->setText(QStringLiteral("2"));
        pasteAll(c.field, QString::fromUtf8(c.pasted));
        ASSERT_EQ(c.field->text(), QString::fromUtf8(c.pasted));
        platform.messages.clear();
        generate();
        EXPECT_EQ(platform.messages, QStringList{QStringLiteral("Type mismatch")}) << c.pasted;
        EXPECT_TRUE(form->Text1->isEmpty());
        EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(c.field->text(), QString::fromUtf8(c.pasted));  // nothing undone, nothing changed
        // The window is still usable afterwards.
        c.field->setText(QStringLiteral("2"));
        platform.messages.clear();
        generate();
        EXPECT_TRUE(platform.messages.isEmpty());
        EXPECT_FALSE(form->Text1->isEmpty());
    }
}

TEST_F(Form1Generate, AFailureMidRunKeepsWhatWasWrittenAndWhereTheBarWas)
{
    ScriptedSource source(6, {4, 2, 6});  // three dice, where the run wants five
    open(source);
    form->Text2->setText(QStringLiteral("5"));
    form->Text3->setText(QStringLiteral("6"));
    generate();
    EXPECT_EQ(platform.messages, QStringList{QStringLiteral("the script has no more dice")});
    EXPECT_EQ(form->Text1->text(), QStringLiteral("4\r\n2\r\n6\r\n"));
    EXPECT_TRUE(form->Command6->isEnabled());
    EXPECT_EQ(form->ProgressBar1->maximum(), 5);
    EXPECT_EQ(form->ProgressBar1->value(), 3);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(form->Text12->text(), QStringLiteral("1"));
}

// Two starts of the program that make the same runs roll the same dice; one start never repeats itself.
TEST_F(Form1Generate, RollsRepeatFromStartToStartAndStayOnTheDie)
{
    auto session = [this] {  // one start of the program
        PhiloxSource source;
        open(source);
        form->Text2->setText(QStringLiteral("9999"));
        form->Text3->setText(QStringLiteral("20"));
        form->Check3->setValue(1);
        form->Text6->setText(QStringLiteral("3"));
        generate();
        const QString first = form->Text1->text();
        generate();
        const QString second = form->Text1->text();
        form.reset();
        return std::pair{first, second};
    };
    const auto a = session();
    const auto b = session();
    EXPECT_EQ(a, b);
    EXPECT_NE(a.first, a.second);

    // Each run rolls every die it shows: 3 x 9999 lines of a face, 3 blocks of four lines, a last empty line.
    EXPECT_EQ(a.first.count(QStringLiteral("\r\n")), 3 * 9999 + 3 * 4);
}
