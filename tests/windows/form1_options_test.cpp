#include "windows/main/form1_options.h"
#include "app/start.h"
#include "form1_fixture.h"
#include "windows/statistics/statistics_window.h"

using namespace tumblecast;
using namespace tumblecast::test;

namespace {

class Form1Options : public Form1Test {
protected:
    // Copy, Select All, a separator, then the settings.
    QAction* freshDice()
    {
        menu.reset(ui->Text1->createContextMenu());
        return menu->actions().at(3);
    }
    // The first dice a start on the profile as it is now would roll.
    std::array<std::uint32_t, 3> firstDice()
    {
        std::array<std::uint32_t, 3> bits{};
        PhiloxSource(startingSeed(platform.executableDir())).bitsAt(0, bits.size(), bits.data());
        return bits;
    }
    std::unique_ptr<QMenu> menu;
};

}  // namespace

// A first start writes the 31 values it always wrote; the choice is stored only when the player makes it
// (here from the keyboard), and the next start follows it; one that cannot be stored says why.
TEST_F(Form1Options, FreshDiceAreThePlayersChoiceAndTheNextStartsOwn)
{
    QByteArray firstStart;
    for (char n = '1'; n <= '5'; ++n)
        firstStart += QByteArray("[Slot") + n + "]\nEnabled=0\nCaption=Slot" + n +
                      "\nDice=\nSides=\nModify=0\nTModify=0\n\n";
    firstStart += "[Options]\nQuickSlots=1\n";
    EXPECT_EQ(profile(), firstStart);
    EXPECT_EQ(freshDice()->text(), QStringLiteral("&Fresh dice at every start"));
    EXPECT_TRUE(freshDice()->isEnabled() && !freshDice()->isChecked());  // with the box still empty
    const auto sameDice = firstDice();
    EXPECT_EQ(firstDice(), sameDice);

    ui->Text1->setFocus();
    QTest::keyClick(ui->Text1, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_F);
    EXPECT_EQ(profile(), firstStart + "FreshDice=1\n");
    const auto fresh = firstDice();
    EXPECT_NE(fresh, sameDice);
    EXPECT_NE(firstDice(), fresh);

    restart();
    EXPECT_TRUE(freshDice()->isChecked());
    freshDice()->trigger();
    EXPECT_EQ(profile(), firstStart + "FreshDice=0\n");
    EXPECT_EQ(firstDice(), sameDice);

    platform.expectMessage(
        QStringLiteral("Cannot write %1: File too large").arg(ProfilePath(platform.executableDir())));
    {
        FileSizeLimit full(16);
        freshDice()->trigger();
    }
    EXPECT_FALSE(freshDice()->isChecked());
    EXPECT_EQ(profile(), firstStart + "FreshDice=0\n");
}

// Taskbars match the windows to the menu entry by its name; every window shows the program's icon.
TEST_F(Form1Options, EveryWindowCarriesTheProgramsIcon)
{
    setUpApplication();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.example.tumblecast"));
    EXPECT_TRUE(QApplication::windowIcon().availableSizes().contains(QSize(256, 256)));
    zentor about(platform);
    StatisticsWindow statistics(platform);
    for (const QWidget* window :
         std::initializer_list<const QWidget*>{form.get(), openEditor(1), &about, &statistics})
        EXPECT_FALSE(window->windowIcon().isNull()) << window->objectName().toStdString();
}
