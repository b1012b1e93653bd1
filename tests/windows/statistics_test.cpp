#include <QAccessible>
#include <QScreen>
#include <QTableView>

#include "form1_fixture.h"
#include "roll/roll_shown.h"
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
    static QAbstractItemModel* table(const char* name)
    {
        return window()->findChild<QTableView*>(QLatin1String(name))->model();
    }
    static QString cell(const char* name, int r, int c) { return table(name)->index(r, c).data().toString(); }
    // A table's row as tab-separated text.
    static QString row(const char* name, int r)
    {
        QStringList cells;
        for (int c = 0; c < table(name)->columnCount(); ++c) cells << cell(name, r, c);
        return cells.join(u'\t');
    }
    static std::uint64_t rolledCount(const char* name)
    {
        std::uint64_t n = 0;
        for (int r = 0; r < table(name)->rowCount(); ++r) n += cell(name, r, 1).toULongLong();
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
    // A screen reader reads every cell, and the heads, through the view.
    QAccessibleTableInterface* cells = QAccessible::queryAccessibleInterface(
                                           window()->findChild<QTableView*>(QStringLiteral("ExpectedTable")))
                                           ->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->rowCount(), 16);
    EXPECT_EQ(cells->cellAt(7, 2)->text(QAccessible::Name), QStringLiteral("62.50%"));
    EXPECT_EQ(cells->columnDescription(1), QStringLiteral("Exactly"));
    QTRY_VERIFY(finished());
    EXPECT_EQ(rolledCount("TotalsTable"), 9999u);
    EXPECT_EQ(rolledCount("FacesTable"), 3u * 9999u);
    EXPECT_EQ(label("Verdict"), QStringLiteral("Verdict: consistent with fair dice"));
    // The pass measured the record too: nothing far into it waits for a pass of its own.
    QTRY_COMPARE(form->rollShown()->kind().measuredRepetitions(), 9999u);

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
    QTest::keyClick(window()->findChild<QTableView*>(QStringLiteral("ExpectedTable")), Qt::Key_Escape);
    EXPECT_EQ(window(), nullptr);
}

// On the screen (beside the main window where it has room); a chance that only rounds to 0 says so, its
// figure at hand.
TEST_F(Statistics, FitsBesideTheWindowAndShowsTinyChancesAsBounds)
{
    enter({.dice = "10", .sides = "10", .times = "2"});
    generate();
    pressCtrlI();
    const QRect screen = window()->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window()->frameGeometry()));
    EXPECT_EQ(cell("ExpectedTable", 0, 1), QStringLiteral("< 0.01%"));
    EXPECT_EQ(table("ExpectedTable")->index(0, 1).data(Qt::ToolTipRole).toString(),
              QStringLiteral("0.0000000100%"));
    EXPECT_EQ(table("ExpectedTable")->headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("P(<=)"));
    auto* target = window()->findChild<QLineEdit*>(QStringLiteral("Target"));
    Form1Test::retype(target, QStringLiteral("100"));
    target->deselect();
    sendCode(target, Qt::Key_A, 1);
    EXPECT_EQ(target->selectedText(), QStringLiteral("100"));
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_EQ(label("ReachOne"), QStringLiteral("One repetition reaches it: < 0.01%"));
    QTRY_VERIFY(finished());
    click(window()->findChild<QPushButton*>(QStringLiteral("Copy")));
    EXPECT_TRUE(
        platform.clipboard.at(0).contains(QLatin1String("\nOne repetition reaches it\t0.0000000100%\n")));
    EXPECT_TRUE(platform.clipboard.at(0).startsWith(QLatin1String("Summary\t10D10 x 2: average ")));
}

TEST_F(Statistics, ChanceToReachAndCopy)
{
    enter({.dice = "3", .sides = "6", .times = "9999"});
    generate();
    pressCtrlI();
    auto* target = window()->findChild<QLineEdit*>(QStringLiteral("Target"));
    const std::pair<const char*, const char*> reaches[] = {
        {"2", "100%"}, {"10", "62.50%"}, {"19", "0%"}, {"99999999999", "0%"}};
    EXPECT_EQ(label("ReachOne"), QStringLiteral("Type a total to see the chance of reaching it."));
    for (auto [total, chance] : reaches) {
        Form1Test::retype(target, QString::fromLatin1(total));
        EXPECT_EQ(label("ReachOne"), QStringLiteral("One repetition reaches it: ") + QLatin1String(chance))
            << total;
    }
    Form1Test::retype(target, QStringLiteral("18"));
    EXPECT_EQ(label("ReachAny"), QStringLiteral("At least one of 9999 repetitions reaches it: > 99.99%"));
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
    // What the window shows, in the same words.
    for (const char* line :
         {"Dice\t3\nSides\t6\n", "\nMean\t10.500\nStandard deviation\t2.958\n",
          "\n10\t12.50%\t62.50%\t50.00%\n", "\nTarget total\t10\nOne repetition reaches it\t62.50%\n",
          "\nTotals\tRolled\tExpected\n", "\nVerdict\tconsistent with fair dice\n"})
        EXPECT_TRUE(copied.contains(QLatin1String(line))) << line;
    for (const char* name : {"Mean", "ReachOne", "ObservedMean", "ObservedDeviation", "Verdict"}) {
        QString shown = label(name);
        EXPECT_TRUE(copied.contains(u'\n' + shown.replace(QLatin1String(": "), QLatin1String("\t")) + u'\n'))
            << name;
    }
    EXPECT_FALSE(copied.contains(u'\r'));
}

// A Generate while the pass over the last roll still runs: the old roll is let go, its pass stopped, and
// only the new roll's dice are shown.
TEST_F(Statistics, NewRollDropsThePassOverTheOldOne)
{
    enter({.dice = "1000", .sides = "6", .times = "9999"});
    generate();
    pressCtrlI();
    const std::weak_ptr<const RollShown> old = form->rollShown();
    enter({.dice = "3", .sides = "6", .times = "500"});
    generate();
    EXPECT_TRUE(old.expired());
    QTRY_VERIFY(finished());
    EXPECT_EQ(table("TotalsTable")->rowCount(), 16);
    EXPECT_EQ(rolledCount("TotalsTable"), 500u);
    EXPECT_EQ(rolledCount("FacesTable"), 1500u);
}
