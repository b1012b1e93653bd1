#include <QTableWidget>

#include "engine/philox_source.h"
#include "engine/record_dice.h"
#include "engine/roll_record.h"
#include "form1_fixture.h"
#include "windows/statistics/roll_pass.h"
#include "windows/statistics/statistics_window.h"

using namespace tumblecast;
using namespace tumblecast::test;

namespace {

class Statistics : public Form1Test {
protected:
    // The statistics window while one is open.
    static QWidget* window()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("Statistics") && w->isVisible()) return w;
        return nullptr;
    }
    static int windows()
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == QLatin1String("Statistics");
        return n;
    }
    static QString label(const char* name)
    {
        return window()->findChild<QLabel*>(QLatin1String(name))->text();
    }
    static QTableWidget* table(const char* name)
    {
        return window()->findChild<QTableWidget*>(QLatin1String(name));
    }
    // A table's row as tab-separated text.
    static QString row(const char* name, int r)
    {
        QStringList cells;
        for (int c = 0; c < table(name)->columnCount(); ++c) cells << table(name)->item(r, c)->text();
        return cells.join(u'\t');
    }
    static std::uint64_t rolledCount(const char* name)
    {
        std::uint64_t n = 0;
        for (int r = 0; r < table(name)->rowCount(); ++r) n += table(name)->item(r, 1)->text().toULongLong();
        return n;
    }
    void pressCtrlI()
    {
        QApplication::setActiveWindow(form.get());
        QTest::keyClick(form.get(), Qt::Key_I, Qt::ControlModifier);
    }
    static bool finished()
    {
        return label("Verdict").startsWith(QLatin1String("Verdict: ")) && !label("Verdict").contains(u"when");
    }
};

}  // namespace

TEST_F(Statistics, OpensOnTheRollShownAndFollowsIt)
{
    // Nothing to show: neither the key nor the menu item opens a window.
    pressCtrlI();
    std::unique_ptr<QMenu> menu(ui->Text1->createContextMenu());
    const QList<QAction*> actions = menu->actions();
    const qsizetype at =
        std::find_if(actions.begin(), actions.end(),
                     [](QAction* a) { return a->text() == QStringLiteral("Statistics...\tCtrl+I"); }) -
        actions.begin();
    ASSERT_LT(at, actions.size());
    QAction* item = actions.at(at);
    EXPECT_TRUE(actions.at(at - 1)->isSeparator());
    EXPECT_FALSE(item->isEnabled());
    item->trigger();
    EXPECT_EQ(windows(), 0);

    enter({.dice = "3", .sides = "6", .times = "9999"});
    generate();
    pressCtrlI();
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(window()->windowTitle(), QStringLiteral("Roll statistics"));
    EXPECT_EQ(
        label("Roll"),
        QStringLiteral("Roll: 3 dice of 6 sides, per-die modifier 0, total modifier 0, 9999 repetitions."));
    EXPECT_EQ(label("Mean"), QStringLiteral("Mean: 10.500"));
    EXPECT_EQ(label("Deviation"), QStringLiteral("Standard deviation: 2.958"));
    EXPECT_EQ(label("Method"), QStringLiteral("Chances: exact"));
    EXPECT_EQ(table("ExpectedTable")->rowCount(), 16);
    EXPECT_EQ(row("ExpectedTable", 7), QStringLiteral("10\t12.50%\t62.50%\t50.00%"));
    QTRY_VERIFY(finished());
    EXPECT_EQ(rolledCount("TotalsTable"), 9999u);
    EXPECT_EQ(rolledCount("FacesTable"), 3u * 9999u);
    EXPECT_EQ(label("Verdict"), QStringLiteral("Verdict: consistent with fair dice"));
    // The pass measured the record too: nothing far into it waits for a pass of its own.
    const auto* shown = dynamic_cast<const RollRecord*>(&ui->Text1->source());
    QTRY_COMPARE(shown->measuredRepetitions(), 9999u);

    // The menu item and the key both bring back the one window.
    menu.reset(ui->Text1->createContextMenu());
    EXPECT_TRUE(menu->actions().last()->isEnabled());
    menu->actions().last()->trigger();
    pressCtrlI();
    EXPECT_EQ(windows(), 1);

    // A new roll refreshes it, Clear empties it, Escape closes it.
    enter({.dice = "2", .sides = "4"});
    generate();
    EXPECT_EQ(label("Mean"), QStringLiteral("Mean: 5.000"));
    click(ui->Command2);
    EXPECT_EQ(label("Roll"), QStringLiteral("No roll: the result box is empty."));
    EXPECT_EQ(label("Mean"), QString());
    EXPECT_EQ(table("ExpectedTable")->rowCount(), 0);
    EXPECT_EQ(table("TotalsTable")->rowCount(), 0);
    QTest::keyClick(window(), Qt::Key_Escape);
    EXPECT_EQ(window(), nullptr);
}

TEST_F(Statistics, ChanceToReachAndCopy)
{
    enter({.dice = "3", .sides = "6", .times = "9999"});
    generate();
    pressCtrlI();
    auto* target = window()->findChild<QLineEdit*>(QStringLiteral("Target"));
    const std::pair<const char*, const char*> reaches[] = {
        {"2", "100.00%"}, {"10", "62.50%"}, {"19", "0.00%"}, {"99999999999", "0.00%"}};
    for (auto [total, chance] : reaches) {
        Form1Test::retype(target, QString::fromLatin1(total));
        EXPECT_EQ(label("ReachOne"), QStringLiteral("One repetition reaches it: ") + QLatin1String(chance))
            << total;
    }
    Form1Test::retype(target, QStringLiteral("18"));
    EXPECT_EQ(label("ReachAny"), QStringLiteral("At least one of 9999 repetitions reaches it: 100.00%"));
    QTest::keyClicks(target, QStringLiteral("x-"));
    EXPECT_EQ(target->text(), QStringLiteral("18"));
    EXPECT_EQ(platform.beeps, 2);
    // Pasted text passes the key filter but is no total.
    pasteAll(target, QStringLiteral("1e3"));
    EXPECT_EQ(label("ReachOne"), QStringLiteral("Not a whole number: type digits only."));

    Form1Test::retype(target, QStringLiteral("10"));
    QTRY_VERIFY(finished());
    click(window()->findChild<QPushButton*>(QStringLiteral("Copy")));
    ASSERT_EQ(platform.clipboard.size(), 1);
    const QString copied = platform.clipboard[0];
    for (const char* line : {"Dice\t3\nSides\t6\n", "\nMean\t10.500\nStandard deviation\t2.958\n",
                             "\n10\t12.50%\t62.50%\t50.00%\n", "\nTarget\t10\nOne repetition\t62.50%\n",
                             "\nVerdict\tconsistent with fair dice\n"})
        EXPECT_TRUE(copied.contains(QLatin1String(line))) << line;
    EXPECT_FALSE(copied.contains(u'\r'));
}

// A Generate while the pass over the last roll still runs: only the new roll's dice are shown.
TEST_F(Statistics, NewRollDropsThePassOverTheOldOne)
{
    enter({.dice = "1000", .sides = "6", .times = "9999"});
    generate();
    pressCtrlI();
    enter({.dice = "3", .sides = "6", .times = "500"});
    generate();
    QTRY_VERIFY(finished());
    EXPECT_EQ(table("TotalsTable")->rowCount(), 16);
    EXPECT_EQ(rolledCount("TotalsTable"), 500u);
    EXPECT_EQ(rolledCount("FacesTable"), 1500u);
    QTest::qWait(300);  // an old worker that was not stopped would have published by now
    EXPECT_EQ(rolledCount("TotalsTable"), 500u);
}

// The pass reads the record's own dice: its totals are the record's, and what it measures, handed to a
// record that has measured its start itself, gives the offsets the record would find alone.
TEST(RollPass, MeasuresTheRecordAndTalliesItsDice)
{
    const PhiloxSource source;
    const RollRequest request{.dice = 1500,
                              .sides = 13,
                              .perDie = true,
                              .modify = 2,
                              .modifyText = "2",
                              .totalModify = 5,
                              .totalModifyText = "5",
                              .times = 301};
    const RollRecord record(request, source, 12345);
    const RollRecord alone(request, source, 12345);
    const std::uint64_t lines = record.layout().linesPerRepetition();
    const LineNumber far((request.times - 1) * lines + request.dice + 1);  // the last total line
    (void)record.lineStart(LineNumber(10 * lines));
    RollPass pass(record, {}, 2);
    RolledSoFar rolled = pass.snapshot();
    while (!rolled.finished) rolled = pass.snapshot();
    pass.measureInto(record);
    EXPECT_EQ(record.measuredRepetitions(), request.times);
    EXPECT_EQ(record.lineStart(far), alone.lineStart(far));
    EXPECT_EQ(record.line(far), alone.line(far));
    EXPECT_EQ(record.size(), alone.size());

    double sum = 0;
    for (std::uint64_t r = 0; r < request.times; ++r)
        sum += static_cast<double>(repetitionSum(record.dice(), record.layout(), r) + 5);
    EXPECT_EQ(rolled.repetitions, request.times);
    EXPECT_NEAR(rolled.totals.mean(), sum / static_cast<double>(request.times), 1e-6);
    EXPECT_EQ(rolled.faces.count(), request.dice * request.times);

    // Cancelled at once: what it has is whole repetitions, it never says it finished, and the record it
    // would have measured learns nothing from it.
    const RollRecord other(request, source, 0);
    RollPass cancelled(other, {}, 2);
    cancelled.cancel();
    const RolledSoFar part = cancelled.snapshot();
    EXPECT_EQ(part.faces.count(), part.repetitions * request.dice);
    EXPECT_EQ(part.finished, part.repetitions == request.times);
    if (!part.finished) {
        cancelled.measureInto(other);
        EXPECT_EQ(other.measuredRepetitions(), 0u);
    }
}
