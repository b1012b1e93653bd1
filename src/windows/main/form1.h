#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>

class QAction;

#include "engine/roll_request.h"
#include "profile/quick_slots.h"
#include "windows/main/form1_controls.h"

namespace tumblecast {

class CheckBox;
class Form2;
class NotationWindow;
class Platform;
class DieSource;
class RollKind;
class RollShown;
class StatisticsWindow;
class TextBox;
class zentor;
namespace notation {
struct Expression;
}

// The main window: its controls (Form1Controls, laid out in form1_controls.cpp) and its handlers. Handlers
// carry the names the window's behaviour is written in, so "Command4_Click" is found under that name.
class Form1 : public QWidget, private Form1Controls, private QuickSlotBar {
    Q_OBJECT
public:
    Form1(Platform& platform, const DieSource& dice, QWidget* parent = nullptr);
    ~Form1() override;

    // For tests and tools, which drive the controls as a user would; nothing in the program reads them.
    const Form1Controls& controls() const { return *this; }
    // The roll the result box shows, while it shows one.
    std::shared_ptr<const RollShown> rollShown() const { return m_shown; }
    // Shows a roll of any kind in the result box, with a background pass of its own; the statistics
    // window follows it.
    void showRoll(std::unique_ptr<RollKind> kind);

    // Key filters of the numeric fields: each sees a typed character's code and sets it to 0 to drop it.
    void Text2_KeyPress(int& keyAscii);
    void Text3_KeyPress(int& keyAscii);
    void Text4_KeyPress(int& keyAscii);
    void Text5_KeyPress(int& keyAscii);
    void Text6_KeyPress(int& keyAscii);

    // The slot editor while it is open.
    Form2* slotEditor() const;

public slots:
    void Form_Load();
    void Check6_Click();    // folds or unfolds the quick slot bar
    void Command4_Click();  // Generate
    void Command3_Click();  // Close
    void Command5_Click();  // About
    void openStatistics();  // Ctrl+I and the result box's menu: the statistics of the roll shown
    void openNotation();    // Ctrl+R and the result box's menu: the Roll notation window
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();
    void Text5_Change();
    void Text6_Change();
    void Text2_GotFocus();
    void Text3_GotFocus();
    void Text4_GotFocus();
    void Text5_GotFocus();
    void Text6_GotFocus();
    void Text2_DblClick();
    void Text3_DblClick();
    void Text4_DblClick();
    void Text5_DblClick();
    void Text6_DblClick();
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();

    // Result box commands and the fixed presets (form1_commands.cpp)
    void Command1_Click();  // Export to text
    void Command2_Click();  // Clear
    void Command6_Click();  // Copy the selection
    void Option1_Click();   // 1D2
    void Option2_Click();   // 1D4
    void Option3_Click();   // 1D6
    void Option4_Click();   // 1D8
    void Option5_Click();   // 1D10
    void Option6_Click();   // 1D12
    void Option7_Click();   // 1D20
    void Option8_Click();   // 1D100
    void Option15_Click();  // 3D6
    void Option9_Click();   // 1D6+1
    void Option10_Click();  // 2D4
    // Quick slots (form1_slots.cpp): the buttons roll a slot, the labels open the slot editor on it.
    void Option11_Click();
    void Option12_Click();
    void Option13_Click();
    void Option14_Click();
    void Option17_Click();
    void Label13_DblClick();
    void Label14_DblClick();
    void Label15_DblClick();
    void Label16_DblClick();
    void Label17_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void Form_Unload();

private:
    void wireFields();

    void keepCountInRange(TextBox* field);
    void emptyBelowZero(TextBox* field);
    void keepRepeatCount(TextBox* field);
    void switchField(CheckBox* box, TextBox* field);
    static void selectContent(TextBox* field);
    static void stripLeadingZeros(TextBox* field);
    RollFields fields() const;
    void fail(std::string_view description);
    void setBusy(bool busy);
    void setOuterWidth(int twipsWide);
    CommandButton* slotButton(int slot) const;
    QLabel* slotLabel(int slot) const;

    void wireCommands();
    void rollPreset(const CommandButton* button);

    Platform& m_platform;
    const DieSource& m_dice;
    std::uint64_t m_nextDie = 0;  // the first die of the next run, counted from 0 at every start
    bool m_overrideCursor = false;
    QPointer<zentor> m_about;  // the about window while it is open
    // The export dialog's file name: offered first, then whatever the user last chose.
    QString m_exportPath = QStringLiteral("resault.txt");

    // Quick slots (form1_slots.cpp)
    void wireSlots();
    // Makes the quick slot bar match the profile (creating the profile when it is missing); the creation's
    // failure, if it failed.
    std::optional<ProfileError> refreshQuickSlots(DefaultModifiers modifiers);
    // What a refresh sets.
    void setQuickSlotsValue(int value) override;
    void setSlotEnabled(int slot, bool enabled) override;
    void setSlotCaption(int slot, const QString& caption) override;
    void rollSlot(int slot);
    void editSlot(int slot);
    void discardSlotEditor();
    // Names the slot's button and label for a screen reader, also when its caption is empty.
    void nameSlot(int slot);
    QPointer<Form2> m_editor;  // the slot editor while it is loaded
    // Check6 is being set from the profile, or set back after a failed write: Check6_Click reports nothing.
    bool m_barFollowsProfile = false;

    // Statistics (form1_statistics.cpp)
    void wireStatistics();
    void followRecord();
    QPointer<StatisticsWindow> m_statistics;  // while it is open
    std::shared_ptr<RollShown> m_shown;       // while the result box shows a roll

    // Settings in the result box's menu (form1_options.cpp)
    void wireOptions();
    void chooseFreshDice(bool fresh);
    QAction* m_freshDice = nullptr;

    // Dice notation (form1_notation.cpp)
    void wireNotation();
    bool rollNotation(const notation::Expression& expression);
    QPointer<NotationWindow> m_notation;  // while it is open
};

}  // namespace tumblecast
