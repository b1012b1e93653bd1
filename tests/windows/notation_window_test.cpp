#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QRegularExpression>

#include "form1_fixture.h"
#include "profile/recent_rolls.h"
#include "windows/notation/notation_window.h"

using namespace tumblecast;
using namespace tumblecast::test;

namespace {

class Notation : public Form1Test {
protected:
    static NotationWindow* window()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* notation = qobject_cast<NotationWindow*>(w); notation && w->isVisible())
                return notation;
        return nullptr;
    }
    static const NotationControls& controls() { return window()->controls(); }
    // Ctrl+R on the main window, and the window it opens, active.
    NotationWindow* pressCtrlR()
    {
        QApplication::setActiveWindow(form.get());
        QTest::keyClick(form.get(), Qt::Key_R, Qt::ControlModifier);
        NotationWindow* opened = window();
        if (opened) {
            QApplication::setActiveWindow(opened);
            EXPECT_TRUE(QTest::qWaitForWindowActive(opened));
        }
        return opened;
    }
    // Types over the field's text and presses Enter, as a player does.
    static void roll(const QString& text)
    {
        QLineEdit* field = controls().Expression->lineEdit();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    QString recentFile() { return RecentRollsPath(platform.executableDir()); }
};

}  // namespace

// By keyboard alone: Ctrl+R, a roll, Enter. The box shows each die, which one was kept and the total, and
// Export writes it; the roll took the window's next two dice, so a Generate goes on after them; the roll is
// offered first after a restart, and corvane.ini is as it was.
TEST_F(Notation, RollsFromTheKeyboardIntoTheResultBoxAndRemembersTheRoll)
{
    const QByteArray profileBefore = profile();
    ASSERT_NE(pressCtrlR(), nullptr);
    EXPECT_TRUE(controls().Expression->hasFocus());
    QTest::keyClicks(controls().Expression->lineEdit(), QStringLiteral("2d20kh1+5"));
    EXPECT_EQ(controls().Meaning->text(), QStringLiteral("2 twenty-sided dice, keep the highest, add 5"));
    QTest::keyClick(controls().Expression->lineEdit(), Qt::Key_Return);

    const QRegularExpression record(
        QStringLiteral("^(\\d+) (kept|dropped)\r\n(\\d+) (kept|dropped)\r\n\r\n"
                       "Total:(\\d+) \\+ 5 = (\\d+)\r\n-{32}\r\n\r\n$"));
    const QRegularExpressionMatch shown = record.match(ui->Text1->text());
    ASSERT_TRUE(shown.hasMatch()) << ui->Text1->text().toStdString();
    const int first = shown.captured(1).toInt(), second = shown.captured(3).toInt();
    const bool firstKept = shown.captured(2) == QLatin1String("kept");
    EXPECT_NE(firstKept, shown.captured(4) == QLatin1String("kept"));
    EXPECT_EQ(shown.captured(5).toInt(), firstKept ? first : second);
    EXPECT_EQ(shown.captured(5).toInt(), std::max(first, second));
    EXPECT_EQ(shown.captured(6).toInt(), std::max(first, second) + 5);
    EXPECT_TRUE(ui->Command6->isEnabled());
    const QString path = platform.executableDir() + QStringLiteral("/advantage.txt");
    platform.saveAnswers = {path};
    click(ui->Command1);
    EXPECT_TRUE(readFile(path).contains(shown.captured(0).toLatin1()));

    RollRequest oneD20;
    oneD20.dice = 1, oneD20.sides = 20, oneD20.times = 1;
    RollRecord afterIt(oneD20, dice, 2);
    std::string expected;
    afterIt.forEachPiece(TextOffset(0), afterIt.size(), [&](std::string_view piece) { expected += piece; });
    click(ui->Option7);
    EXPECT_EQ(ui->Text1->text().toStdString(), expected);

    QTest::keyClick(controls().Expression->lineEdit(), Qt::Key_Escape);
    EXPECT_EQ(window(), nullptr);
    EXPECT_EQ(profile(), profileBefore);
    EXPECT_EQ(readFile(recentFile()), "2d20kh1+5\n");
    restart();
    ASSERT_NE(pressCtrlR(), nullptr);
    EXPECT_EQ(controls().Expression->itemText(0), QStringLiteral("2d20kh1+5"));
    EXPECT_EQ(controls().Expression->lineEdit()->selectedText(), QStringLiteral("2d20kh1+5"));
}

// A slip is shown under the field, its place marked and selected, and told to screen readers; no box
// comes up and the result box keeps its roll.
TEST_F(Notation, ATypingSlipIsShownInPlaceAndRollsNothing)
{
    enter({.dice = "3", .sides = "6"});
    generate();
    const QString before = ui->Text1->text();
    ASSERT_NE(pressCtrlR(), nullptr);
    roll(QStringLiteral("4d6kh7"));
    const QString message = QStringLiteral("keeps 7 of 4 dice (at character 4: \"kh7\")");
    EXPECT_EQ(ui->Text1->text(), before);
    EXPECT_TRUE(controls().Problem->isVisible());
    EXPECT_EQ(controls().Problem->text(), message);
    EXPECT_EQ(controls().Marker->text(), QStringLiteral("4d6kh7\n   ^^^"));
    EXPECT_EQ(controls().Expression->lineEdit()->selectedText(), QStringLiteral("kh7"));
    EXPECT_EQ(controls().Expression->accessibleDescription(), message);
    QAccessibleInterface* problem = QAccessible::queryAccessibleInterface(controls().Problem);
    EXPECT_EQ(problem->role(), QAccessible::AlertMessage);
    EXPECT_EQ(problem->text(QAccessible::Name), message);
    EXPECT_EQ(readFile(recentFile()), "(missing)");

    // Typing on mends it: the problem goes and the meaning comes.
    QTest::keyClicks(controls().Expression->lineEdit(), QStringLiteral("kh3"));
    EXPECT_FALSE(controls().Problem->isVisible());
    EXPECT_EQ(controls().Meaning->text(), QStringLiteral("4 six-sided dice, keep the 3 highest"));

    // In a long roll the marker shows the stretch around the fault, its carets under the fault.
    roll(QStringLiteral("1d6") + QStringLiteral("+1").repeated(60));
    const QStringList marker = controls().Marker->text().split(u'\n');
    ASSERT_EQ(marker.size(), 2);
    EXPECT_LE(marker[0].size(), 100);
    EXPECT_TRUE(marker[0].startsWith(QStringLiteral("...")));
    const qsizetype caret = marker[1].indexOf(u'^');
    EXPECT_EQ(marker[0].mid(caret, marker[1].size() - caret),
              controls().Expression->lineEdit()->selectedText());

    // A slip at the end is placed there; an empty field says what to type.
    roll(QStringLiteral("2d6+"));
    EXPECT_TRUE(controls().Problem->text().endsWith(QStringLiteral("(at the end)")));
    roll(QString());
    EXPECT_TRUE(controls().Problem->text().startsWith(QStringLiteral("there is no roll")));
    EXPECT_EQ(ui->Text1->text(), before);
}

// One window at most, from the keyboard or from the result box's menu (which offers it on an empty box);
// the list keeps the last rolls newest first, each once, and a list that cannot be written says so under
// the field while the roll is shown.
TEST_F(Notation, OneWindowARecentListAndAListThatCannotBeKept)
{
    std::unique_ptr<QMenu> menu(ui->Text1->createContextMenu());
    QAction* open = nullptr;
    for (QAction* action : menu->actions())
        if (action->text().startsWith(QLatin1String("Roll notation..."))) open = action;
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->isEnabled());
    open->trigger();
    NotationWindow* first = window();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(pressCtrlR(), first);

    for (const char* text : {"1d4", "1d6", "1d8", "1d6"}) roll(QString::fromLatin1(text));
    QStringList items;
    for (int i = 0; i < controls().Expression->count(); ++i) items << controls().Expression->itemText(i);
    EXPECT_EQ(items, (QStringList{"1d6", "1d8", "1d4"}));
    EXPECT_EQ(controls().Expression->currentText(), QStringLiteral("1d6"));

    QFile::remove(recentFile());
    ASSERT_TRUE(QDir().mkdir(recentFile()));  // a folder where the file would go
    roll(QStringLiteral("3d6"));
    EXPECT_TRUE(ui->Text1->text().contains(QStringLiteral("Total:")));
    EXPECT_TRUE(controls().Problem->isVisible());
    EXPECT_TRUE(controls().Problem->text().startsWith(QStringLiteral("Cannot write ") + recentFile() + ": "))
        << controls().Problem->text().toStdString();
}

// Ctrl+I, from the notation window too, shows a notation roll's own odds and the chance to reach a total, and
// the pass fills in what was rolled.
TEST_F(Notation, StatisticsReadTheNotationRoll)
{
    ASSERT_NE(pressCtrlR(), nullptr);
    roll(QStringLiteral("2d20kh1+5"));
    QTest::keyClick(controls().Expression->lineEdit(), Qt::Key_I, Qt::ControlModifier);
    QWidget* statistics = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("Statistics") && w->isVisible()) statistics = w;
    ASSERT_NE(statistics, nullptr);
    const auto label = [statistics](const char* name) {
        return statistics->findChild<QLabel*>(QLatin1String(name))->text();
    };
    EXPECT_TRUE(label("Roll").contains(QStringLiteral("2 twenty-sided dice, keep the highest, add 5")));
    EXPECT_EQ(label("Mean"), QStringLiteral("Mean: 18.825"));
    EXPECT_EQ(label("Method"), QStringLiteral("Chances: exact"));
    auto* target = statistics->findChild<QLineEdit*>(QStringLiteral("Target"));
    target->setFocus();
    QTest::keyClicks(target, QStringLiteral("20"));
    EXPECT_EQ(label("ReachOne"), QStringLiteral("One repetition reaches it: 51.00%"));
    QTRY_VERIFY(label("Verdict").startsWith(QLatin1String("Verdict: ")) &&
                !label("Verdict").contains(u"when"));
}
