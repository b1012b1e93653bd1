#include <QProcess>

#include "form1_fixture.h"
#include "roll/roll_shown.h"

using namespace tumblecast;
using namespace tumblecast::test;

using Form1Generate = Form1Test;

// Each check shows its message alone, empties the box and changes no field (no zeros stripped, no count
// stored).
TEST_F(Form1Generate, AFailingCheckShowsItsMessageOnceAndTouchesNoField)
{
    const std::pair<Entry, const QString&> rows[] = {
        {{.dice = "0", .sides = "6"}, kDiceAndSides},
        {{.dice = "007", .sides = "0"}, kDiceAndSides},
        {{.dice = "0000", .sides = "6"}, kDiceAndSides},
        {{.dice = "2", .sides = "000000", .modify = ""},
         kDiceAndSides},  // only the first failing check speaks
        {{.dice = "2", .sides = "6", .modify = "", .total = "", .times = ""}, kModify},
        {{.dice = "2", .sides = "6", .modify = "1", .total = "", .times = ""}, kTotal},
        {{.dice = "2", .sides = "6", .modify = "1", .total = "1", .times = ""}, kTimes},
        {{.dice = "2", .sides = "6", .modify = "1", .total = "1", .times = "000"}, kTimes}};
    for (const auto& [entry, message] : rows) {
        SCOPED_TRACE(entry.dice + std::string("D") + entry.sides);
        platform.expectMessage(message);
        enter(entry);
        const QStringList before = texts();
        showText("the last roll");
        generate();
        EXPECT_TRUE(platform.pendingMessages().empty());
        EXPECT_TRUE(ui->Text1->isEmpty());
        EXPECT_FALSE(ui->Command6->isEnabled());
        EXPECT_EQ(texts(), before);
        EXPECT_TRUE(ui->Text12->text().isEmpty());
    }
}

TEST_F(Form1Generate, WorkedExampleByteForByte)
{
    openScripted(6, {3, 5, 6, 1, 3, 5});
    enter({.dice = "2", .sides = "6", .modify = "1", .total = "2", .times = "2"});
    generate();
    EXPECT_EQ(ui->Text1->text(), repetition("3 + 1 = 4\r\n5 + 1 = 6\r\n\r\nTotal:10 + 2 = 12") +
                                     repetition("6 + 1 = 7\r\n1 + 1 = 2\r\n\r\nTotal:9 + 2 = 11"));
    EXPECT_EQ(ui->ProgressBar1->value(), 0);
    EXPECT_EQ(ui->ProgressBar1->maximum(), 2);
    EXPECT_TRUE(ui->Command6->isEnabled());
    expectIdle();

    // Both modifiers off: the plain branch; the repeat field was switched off holding "0": one repetition.
    for (CheckBox* box : {ui->Check1, ui->Check2, ui->Check3}) click(box);
    generate();
    EXPECT_EQ(ui->Text1->text(), repetition("3\r\n5\r\n\r\nTotal:8 + 0 = 8"));
    EXPECT_EQ(ui->Text6->text(), QStringLiteral("0"));
    EXPECT_EQ(ui->Text12->text(), QStringLiteral("1"));
}

TEST_F(Form1Generate, LeadingZerosAreStrippedThroughTheFieldsAndShownStripped)
{
    openScripted(20, {4, 9, 1, 2, 3, 4, 5, 6, 7});
    enter({.dice = "0002", .sides = "0020", .modify = "007", .total = "005"});
    generate();
    EXPECT_EQ(texts(), (QStringList{"2", "20", "7", "5", ""}));
    EXPECT_EQ(ui->Text1->text(), repetition("4 + 7 = 11\r\n9 + 7 = 16\r\n\r\nTotal:27 + 5 = 32"));

    // A modifier of zeros only empties in the stripping, and the record shows it as 0.
    enter({.dice = "2", .sides = "20", .modify = "000", .total = "00"});
    generate();
    EXPECT_EQ(texts(), (QStringList{"2", "20", "", "", ""}));
    EXPECT_EQ(ui->Text1->text(), repetition("1 + 0 = 1\r\n2 + 0 = 2\r\n\r\nTotal:3 + 0 = 3"));

    // The repeat count is stripped as well, and stored for the run.
    enter({.dice = "1", .sides = "20", .times = "0005"});
    generate();
    EXPECT_EQ(ui->Text6->text(), QStringLiteral("5"));
    EXPECT_EQ(ui->Text12->text(), QStringLiteral("5"));
    EXPECT_EQ(ui->Text1->text().count(QStringLiteral("Total:")), 5);
    EXPECT_EQ(ui->Text6->selectedText(), QStringLiteral("5"));
}

// Text that is no number ends on the failure path, whichever field holds it; nothing is undone, and the
// window is still usable afterwards.
TEST_F(Form1Generate, PastedTextThatIsNoNumberEndsOnTheFailurePath)
{
    const std::pair<const char*, const char*> rows[] = {{"Text2", "12a"}, {"Text2", "5.5"},
                                                        {"Text3", "1e3"}, {"Text4", "\xef\xbc\x95"},
                                                        {"Text5", "4 2"}, {"Text6", "3x"}};
    for (const auto& [name, text] : rows) {
        SCOPED_TRACE(text);
        const QString pasted = QString::fromUtf8(text);
        platform.expectMessage(QStringLiteral("Type mismatch"));
        enter({.dice = "3", .sides = "6", .modify = "1", .total = "1", .times = "2"});
        pasteAll(field(name), pasted);
        ASSERT_EQ(field(name)->text(), pasted);
        generate();
        EXPECT_TRUE(platform.pendingMessages().empty());
        EXPECT_TRUE(ui->Text1->isEmpty());
        expectIdle();
        EXPECT_EQ(field(name)->text(), pasted);
    }
    field("Text6")->setText(QStringLiteral("2"));
    generate();
    EXPECT_FALSE(ui->Text1->isEmpty());
}

// The record is shown under the busy pointer. An allocation that fails meanwhile ends on the failure path:
// the arrow and "Out of memory"; the next Generate works.
TEST_F(Form1Generate, ShowsTheRecordBusyAndEndsOnTheFailurePathWhenMemoryRunsOut)
{
    int shown = 0;
    bool busy = false;
    QObject::connect(ui->Text1, &ResultBox::changed, form.get(), [&] {
        if (ui->Text1->isEmpty()) return;
        const QCursor* over = QApplication::overrideCursor();
        busy = form->cursor().shape() == Qt::WaitCursor && over && over->shape() == Qt::WaitCursor;
        if (++shown == 1) throw std::bad_alloc();
    });
    enter({.dice = "2", .sides = "6"});
    platform.expectMessage(QStringLiteral("Out of memory"));
    generate();
    EXPECT_TRUE(busy);
    expectIdle();

    generate();
    EXPECT_EQ(shown, 2);
    expectIdle();
}

// The record's text is the rolled text (the presets' test, the record's own tests); here, that what the box
// cannot copy is told through the window's message box.
TEST_F(Form1Generate, ACopyTheBoxRefusesIsToldInAMessage)
{
    enter({.dice = "2000", .sides = "6"});
    generate();
    ui->Text1->setCopyLimit(10);
    ui->Text1->selectAll();
    platform.expectMessage(
        QStringLiteral("The selection is too large to copy (1 MB). Export the result instead."));
    QTest::keyClick(ui->Text1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(platform.clipboard.isEmpty());
}

// The largest roll the fields allow is 100 million lines: its end is shown and painted from the lines'
// numbers, without the offsets of the repetitions before it.
TEST_F(Form1Generate, TheLargestRollShowsItsEndWithoutMeasuringTheRecord)
{
    enter({.dice = "9999", .sides = "999998", .modify = "999999", .total = "999999", .times = "9999"});
    generate();
    ASSERT_NE(form->rollShown(), nullptr);
    const RollKind& record = form->rollShown()->kind();

    QScrollBar* bar = ui->Text1->verticalScrollBar();
    QCoreApplication::processEvents();
    bar->setValue(bar->maximum());
    ASSERT_FALSE(ui->Text1->viewport()->grab().isNull());
    const std::uint64_t lines = record.text().lineCount();
    EXPECT_EQ(ui->Text1->firstVisibleLine(), lines - static_cast<std::uint64_t>(ui->Text1->linesPerPage()));

    EXPECT_LE(record.measuredRepetitions(), 1u);  // the first at most, where the caret is
}

// The window and the roller write the same record for the same roll: the window's first after a start is
// the roller's sequence 0, CR LF and all.
TEST_F(Form1Generate, TheRecordIsTheRollersByteForByte)
{
    enter({.dice = "7", .sides = "13", .modify = "2", .total = "5", .times = "3"});
    generate();
    QProcess roller;
    roller.start(QStringLiteral(TUMBLECAST_ROLL),
                 {"--dice", "7", "--sides", "13", "--modify", "2", "--total-modify", "5", "--times", "3",
                  "--seed", "0", "--crlf"});
    ASSERT_TRUE(roller.waitForFinished(20000));
    EXPECT_EQ(roller.exitCode(), 0);
    const QByteArray rolled = roller.readAllStandardOutput();
    EXPECT_EQ(ui->Text1->text().toUtf8(), rolled);
    EXPECT_TRUE(rolled.contains("Total:") && rolled.contains("\r\n"));
}
