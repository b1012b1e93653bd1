#include "windows/main/form1_options.h"
#include "app/start.h"
#include "form1_fixture.h"
#include "windows/statistics/statistics_window.h"

using namespace tumblecast;
using namespace tumblecast::test;

namespace {

const QString kFreshDice = QStringLiteral("&Fresh dice at every start");

QByteArray firstStartProfile()
{
    QByteArray bytes;
    for (char slot = '1'; slot <= '5'; ++slot)
        bytes += QByteArray(slot == '1' ? "" : "\n") + "[Slot" + slot + "]\nEnabled=0\nCaption=Slot" + slot +
                 "\nDice=\nSides=\nModify=0\nTModify=0\n";
    return bytes + "\n[Options]\nQuickSlots=1\n";
}

class Form1Options : public Form1Test {
protected:
    QAction* freshDice()
    {
        menu.reset(ui->Text1->createContextMenu());
        for (QAction* action : menu->actions())
            if (action->text() == kFreshDice) return action;
        return nullptr;
    }
    // The first dice a start on the profile as it is now would roll.
    std::array<std::uint32_t, 3> firstDice()
    {
        std::array<std::uint32_t, 3> bits{};
        PhiloxSource(startingSeed(platform.executableDir())).bitsAt(0, bits.size(), bits.data());
        return bits;
    }
    // Opens the result box's menu with Shift+F10 and picks the item by its access key.
    void tickFromTheKeyboard()
    {
        ui->Text1->setFocus();
        QTest::keyClick(ui->Text1, Qt::Key_F10, Qt::ShiftModifier);
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        QTest::keyClick(popup, Qt::Key_F);
    }

    std::unique_ptr<QMenu> menu;
};

}  // namespace

// A first start writes the profile it always wrote; the choice is stored only when the player makes it, and
// only the next start follows it.
TEST_F(Form1Options, FreshDiceAreThePlayersChoiceAndTheNextStartsOwn)
{
    EXPECT_EQ(profile(), firstStartProfile());
    QAction* item = freshDice();
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(item->isEnabled());  // with the box still empty
    const auto sameDice = firstDice();
    EXPECT_EQ(firstDice(), sameDice);

    tickFromTheKeyboard();
    EXPECT_EQ(profile(), firstStartProfile() + "FreshDice=1\n");
    EXPECT_TRUE(freshDice()->isChecked());
    const auto fresh = firstDice();
    EXPECT_NE(fresh, sameDice);
    EXPECT_NE(firstDice(), fresh);

    restart();
    EXPECT_TRUE(freshDice()->isChecked());
    freshDice()->trigger();
    EXPECT_EQ(profile(), firstStartProfile() + "FreshDice=0\n");
    EXPECT_EQ(firstDice(), sameDice);
    restart();
    EXPECT_FALSE(freshDice()->isChecked());
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Form1Options, AChoiceThatCannotBeStoredSaysWhyAndIsTakenBack)
{
    const QByteArray stored = profile();
    platform.expectMessage(
        QStringLiteral("Cannot write %1: File too large").arg(ProfilePath(platform.executableDir())));
    {
        FileSizeLimit full(16);
        freshDice()->trigger();
    }
    EXPECT_FALSE(freshDice()->isChecked());
    EXPECT_EQ(profile(), stored);
    EXPECT_EQ(startingSeed(platform.executableDir()), 0u);
}

// Taskbars match the windows to the menu entry by its name; every window shows the program's icon, at the
// sizes a dock asks for.
TEST_F(Form1Options, EveryWindowCarriesTheProgramsIcon)
{
    setUpApplication();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.example.tumblecast"));
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256))) << sizes.size();

    Form2* editor = openEditor(1);
    ASSERT_NE(editor, nullptr);
    zentor about(platform);
    StatisticsWindow statistics(platform);
    for (const QWidget* window :
         {static_cast<const QWidget*>(form.get()), static_cast<const QWidget*>(editor),
          static_cast<const QWidget*>(&about), static_cast<const QWidget*>(&statistics)})
        EXPECT_FALSE(window->windowIcon().isNull()) << window->objectName().toStdString();
}
