#include "windows/main/result_box.h"

#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "engine/philox_source.h"
#include "engine/roll_record.h"

namespace tumblecast {
namespace {

std::shared_ptr<const TextSource> textOf(std::string_view text)
{
    auto buffer = std::make_shared<BufferSource>();
    buffer->append(text);
    return buffer;
}

class ResultBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box.resize(145, 291);
        box.show();
        QCoreApplication::processEvents();
    }
    void fill(std::string_view text)
    {
        box.showText(textOf(text));
        QCoreApplication::processEvents();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(&box, k, mods); }
    // The middle of the character cell that starts at offset.
    QPoint cell(std::uint64_t offset) const
    {
        return box.pointOf(offset) + QPoint(static_cast<int>(box.charWidth() / 2), box.lineHeight() / 2);
    }

    ResultBox box;
};

// Only the program writes to the box: typing, deleting and pasting change nothing.
TEST_F(ResultBoxTest, KeepsLineEndsSignalsEachChangeAndIgnoresTyping)
{
    QSignalSpy changed(&box, &ResultBox::changed);
    for (const char* text : {"", "3 + 1 = 4\r\nTotal:10 + 2 = 12\r\n"}) box.showText(textOf(text));
    EXPECT_EQ(box.text(), QStringLiteral("3 + 1 = 4\r\nTotal:10 + 2 = 12\r\n"));
    EXPECT_EQ(changed.count(), 1);  // an empty text in place of an empty one is no change

    box.setSelection(2, 3);
    QTest::keyClicks(&box, "x 9");
    for (Qt::Key k : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return}) key(k);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.selection(), (Selection{2, 5}));
    EXPECT_EQ(changed.count(), 1);

    box.setSelection(4, 1000);
    EXPECT_EQ(box.selectedText(), QStringLiteral("1 = 4\r\nTotal:10 + 2 = 12\r\n"));
    box.clear();
    box.clear();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(box.selection().empty());
}

// The moves themselves are tested without the widget; here, that keys reach them by their meaning.
TEST_F(ResultBoxTest, KeysMoveTheCaretByTheirMeaning)
{
    fill("3 + 1 = 4\r\nx\r\nabcdef\r\n");
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(box.selection(), (Selection{2, 2}));
    key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(box.selectedText(), QStringLiteral("+ "));
    key(Qt::Key_Left);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(box.selectedText(), QStringLiteral("+ 1 = 4\r\nx"));
    key(Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(box.selection(), (Selection{2, 0}));
}

TEST_F(ResultBoxTest, CopiesOnlyASelection)
{
    fill("3 + 1 = 4\r\n--------\r\n");
    QSignalSpy copied(&box, &ResultBox::copyRequested);
    key(Qt::Key_C, Qt::ControlModifier);
    std::unique_ptr<QMenu> menu(box.createContextMenu());
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_FALSE(menu->actions()[0]->isEnabled());
    EXPECT_EQ(copied.count(), 0);

    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Insert, Qt::ControlModifier);
    ASSERT_EQ(copied.count(), 2);
    EXPECT_EQ(copied[0][0].toString(), QStringLiteral("3 + 1 = 4\r\n"));
    EXPECT_EQ(copied[1][0].toString(), box.text());

    box.setSelection(0, 1);
    menu.reset(box.createContextMenu());
    menu->actions()[0]->trigger();
    EXPECT_EQ(copied.last()[0].toString(), QStringLiteral("3"));
    menu->actions()[1]->trigger();
    EXPECT_EQ(box.selLength(), box.source().size());
}

TEST_F(ResultBoxTest, MouseSetsExtendsAndSelectsAWord)
{
    fill("3 + 1 = 4\r\nTotal:10 + 2 = 12\r\n");
    QWidget* view = box.viewport();
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, box.pointOf(4) + QPoint(1, 2));
    EXPECT_EQ(box.selection(), (Selection{4, 4}));
    QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, cell(14) - QPoint(2, 0));
    EXPECT_EQ(box.selectedText(), QStringLiteral("1 = 4\r\nTot"));

    // A click past the end of a line or below the text lands at the end of that line.
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cell(9) + QPoint(60, 0));
    EXPECT_EQ(box.selection().cursor, 9u);
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(40, view->height() - 2));
    EXPECT_EQ(box.selection().cursor, box.source().size());

    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, cell(2));
    QTest::mouseMove(view, cell(13));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, cell(13));
    EXPECT_EQ(box.selection(), (Selection{2, 13}));

    // Which word a double click takes is the caret moves' test.
    QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, cell(15));
    EXPECT_EQ(box.selectedText(), QStringLiteral("Total:10"));
}

TEST_F(ResultBoxTest, ScrollsByLinesOnceTheRunIsOverAndPagesWithTheCaret)
{
    std::string lines;
    for (int i = 0; i < 100000; ++i) lines += std::to_string(i) + " + 1\r\n";
    box.showText(textOf(lines));
    QScrollBar* bar = box.verticalScrollBar();
    EXPECT_EQ(bar->maximum(), 0);
    QCoreApplication::processEvents();
    const int page = box.linesPerPage();
    EXPECT_EQ(bar->maximum(), 100001 - page);
    EXPECT_EQ(bar->pageStep(), page);

    // The view turns a page with the caret, so the caret keeps its place on the screen.
    key(Qt::Key_Down);
    key(Qt::Key_PageDown);
    key(Qt::Key_PageDown);
    EXPECT_EQ(box.selection().cursor, box.source().lineStart(LineNumber(2 * page + 1)).value);
    EXPECT_EQ(bar->value(), 2 * page);
    key(Qt::Key_PageUp, Qt::ShiftModifier);
    EXPECT_EQ(box.selectedText().count(QStringLiteral("\r\n")), page);
    EXPECT_EQ(bar->value(), page);

    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setValue(10);
    EXPECT_EQ(box.offsetAt(QPoint(0, 1)), box.source().lineStart(LineNumber(10)).value);

    box.clear();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_EQ(box.firstVisibleLine(), 0u);
}

TEST_F(ResultBoxTest, ScrollsSidewaysToFollowTheCaret)
{
    const std::string wide = "Total:19997970003 + 999999 = 19998970002";
    fill(wide + "\r\n1\r\n");
    QScrollBar* bar = box.horizontalScrollBar();
    // One column more than the longest line, for the caret after it.
    EXPECT_EQ(bar->maximum(), static_cast<int>(wide.size()) + 1 - box.columnsPerPage());
    key(Qt::Key_End);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(box.viewport()->rect().contains(box.pointOf(box.selection().cursor)));
    key(Qt::Key_Left, Qt::ControlModifier);
    key(Qt::Key_Down);
    EXPECT_EQ(box.selection().cursor, wide.size() + 3);  // the end of the short line
    EXPECT_EQ(bar->value(), 1);                          // back just far enough to show the caret
    key(Qt::Key_Home);
    EXPECT_EQ(bar->value(), 0);
}

// A selection too large for the clipboard, or a copy that runs out of memory, is told to the user; the text
// and the selection stay.
TEST_F(ResultBoxTest, CopyTellsWhyItCannotCopyAndKeepsTheText)
{
    std::string big;
    for (int i = 0; i < 250'000; ++i) big += "123456789\n";  // 2.5 MB
    fill(big);
    QSignalSpy messages(&box, &ResultBox::messageRequested);
    QSignalSpy copied(&box, &ResultBox::copyRequested);
    box.setCopyLimit(1'000'000);
    box.selectAll();
    box.copy();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages[0][0].toString(),
              QStringLiteral("The selection is too large to copy (3 MB). Export the result instead."));
    EXPECT_EQ(copied.count(), 0);

    box.setSelection(5, 1'000'000);
    box.copy();
    ASSERT_EQ(copied.count(), 1);
    EXPECT_EQ(copied[0][0].toString(), QString::fromStdString(big.substr(5, 1'000'000)));

    QObject::connect(&box, &ResultBox::copyRequested, [](const QString&) { throw std::bad_alloc(); });
    box.copy();
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages[1][0].toString(), QStringLiteral("Out of memory"));
    EXPECT_EQ(box.selection(), (Selection{5, 1'000'005}));
    EXPECT_EQ(box.source().size(), big.size());
}

// Clear gives back the old text's memory, and a text handed over whole is shown.
TEST_F(ResultBoxTest, ReplacedTextGivesBackItsMemory)
{
    fill(std::string(4'000'000, 'x'));
    QSignalSpy changed(&box, &ResultBox::changed);
    box.clear();
    const auto* buffer = dynamic_cast<const BufferSource*>(&box.source());
    ASSERT_NE(buffer, nullptr);
    EXPECT_LT(buffer->text().capacity(), 1000u);

    static const PhiloxSource dice;
    const RollRequest request{.dice = 2, .sides = 6, .times = 1};
    box.showText(std::make_shared<RollRecord>(request, dice, 0));
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(box.text().endsWith(QStringLiteral("--------------------------------\r\n\r\n")));
}

}  // namespace
}  // namespace tumblecast
