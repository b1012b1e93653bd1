#include <QAccessible>

#include <sys/resource.h>

#include <functional>

#include "engine/roll_record.h"
#include "form1_fixture.h"
#include "windows/main/result_box_accessible.h"

using namespace tumblecast;
using tumblecast::test::Form1Test;

namespace {

QAccessibleInterface* of(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

// Every interface a screen reader reaches from root by walking children.
void walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit)
{
    visit(root);
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface* child = root->child(i)) walk(child, visit);
}

// The process's peak resident size so far, in kilobytes.
long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

using Accessibility = Form1Test;

}  // namespace

// The caption-less slot buttons are named by their labels, which the profile sets; the grey-ticked boxes
// are read as the labels of their fields; the scratch fields are nowhere in the tree.
TEST_F(Accessibility, MainWindowReadsAsTheUserSeesIt)
{
    WriteProfileValue(platform.executableDir(), QStringLiteral("Slot1"), QStringLiteral("Caption"),
                      QStringLiteral("Orc"));
    // An empty caption would leave the row named after the frame, "Quick Slots".
    storeQuickSlot(platform.executableDir(), 2, {QString(), "1", "6", "0", "0"});
    WriteProfileValue(platform.executableDir(), QStringLiteral("Slot4"), QStringLiteral("Caption"),
                      QString());
    restart();
    EXPECT_EQ(of(ui->Option11)->text(QAccessible::Name), QStringLiteral("Orc"));
    EXPECT_EQ(of(ui->Option12)->text(QAccessible::Name), QStringLiteral("Slot 2"));
    EXPECT_EQ(of(ui->Label16)->text(QAccessible::Name), QStringLiteral("Slot 4, empty"));

    QAccessibleInterface* diceLabel = of(ui->Check5);
    EXPECT_EQ(diceLabel->role(), QAccessible::StaticText);
    EXPECT_EQ(diceLabel->text(QAccessible::Name), QStringLiteral("Dice:"));
    EXPECT_FALSE(diceLabel->state().disabled);

    int reached = 0;
    walk(of(form.get()), [&](QAccessibleInterface* node) {
        ++reached;
        EXPECT_NE(node->object(), ui->Text12);
        EXPECT_NE(node->object(), ui->TextHelp);
    });
    EXPECT_GT(reached, 50);
}

TEST_F(Accessibility, ResultBoxReadsItsRecordByOffsetsAndAnnouncesARunOnce)
{
    QSignalSpy announced(ui->Text1->findChild<ResultBoxAnnouncer*>(), &ResultBoxAnnouncer::announced);
    enter({.dice = "2", .sides = "6", .times = "3"});
    generate();
    QApplication::processEvents();
    ASSERT_EQ(announced.size(), 1);
    EXPECT_EQ(announced.front().front().toString(), ui->Text1->text());

    QAccessibleTextInterface* text = of(ui->Text1)->textInterface();
    ASSERT_NE(text, nullptr);
    const QString whole = ui->Text1->text();
    ASSERT_EQ(text->characterCount(), whole.size());
    EXPECT_EQ(text->text(3, 20), whole.mid(3, 17));

    text->setSelection(0, 2, 9);
    EXPECT_EQ(ui->Text1->selStart(), 2u);
    EXPECT_EQ(ui->Text1->selLength(), 7u);
    EXPECT_EQ(text->selectionCount(), 1);
    EXPECT_EQ(text->cursorPosition(), 9);
}

TEST_F(Accessibility, AScreenReaderReadsTheMiddleOfALargeRecordWithoutBuildingIt)
{
    enter({.dice = "9999", .sides = "999998", .modify = "999999", .total = "999999", .times = "500"});
    generate();
    const long before = peakKilobytes();

    QAccessibleTextInterface* text = of(ui->Text1)->textInterface();
    const int count = text->characterCount();
    ASSERT_GT(count, 100'000'000);  // well over a hundred megabytes of text
    const int middle = count / 2;
    int start = 0;
    int end = 0;
    const QString line = text->textAtOffset(middle, QAccessible::LineBoundary, &start, &end);
    EXPECT_TRUE(line.endsWith(QLatin1String("\r\n")));
    EXPECT_LE(start, middle);
    EXPECT_GT(end, middle);
    // The bytes a record of that roll finds by measuring itself, not through the background pass; and whole
    // lines of the record's form.
    const QString read = text->text(middle, middle + 300);
    const PhiloxSource philox;
    const RollRecord alone(largestRequest(500), philox, 0);
    EXPECT_EQ(read.toStdString(), alone.slice(TextOffset(static_cast<std::uint64_t>(middle)), 300));
    const QStringList lines = read.split(QLatin1String("\r\n"));
    ASSERT_GT(lines.size(), 4);
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QStringList parts = lines[i].split(u' ');
        const bool die =
            parts.size() == 5 && parts[3] == u'=' && parts[4].toLongLong() == parts[0].toLongLong() + 999999;
        EXPECT_TRUE(die || lines[i].isEmpty() || lines[i].startsWith(QLatin1String("Total:")) ||
                    lines[i] == QString(32, u'-'))
            << lines[i].toStdString();
    }
    EXPECT_LT(peakKilobytes() - before, 64 * 1024);
}

// The editor opens from the keyboard, and its scratch fields are nowhere in its tree.
TEST_F(Accessibility, SlotEditorOpensByKeyboard)
{
    QTest::keyClick(form.get(), Qt::Key_2, Qt::ControlModifier);
    Form2* editor = form->slotEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Edit user Slot - Slot2"));
    EXPECT_EQ(of(ui->Option12)->text(QAccessible::Description),
              QStringLiteral("Rolls the quick slot; Ctrl+2 edits it"));

    const Form2Controls& fields = controlsOf(editor);
    walk(of(editor), [&](QAccessibleInterface* node) {
        for (QObject* hidden : std::initializer_list<QObject*>{fields.Reload, fields.Text7, fields.Text8})
            EXPECT_NE(node->object(), hidden);
    });
}
