#pragma once

class QFrame;
class QGroupBox;
class QWidget;

namespace tumblecast {

class CheckBox;
class CommandButton;
class TextBox;

// The slot editor's controls in their opening state: built, placed, named and in tab order, with no
// behaviour; Form2 connects its handlers to them.
struct Form2Controls {
    // Scratch fields behind Frame1: what Add stores for "Modify" and "TModify"
    TextBox* Text7 = nullptr;
    TextBox* Text8 = nullptr;

    // The slot's fields
    QGroupBox* Frame1 = nullptr;
    QWidget* Picture1 = nullptr;      // disabled panel holding the three grey labels
    CheckBox* Check1 = nullptr;       // grey label "Caption:"
    CheckBox* Check2 = nullptr;       // grey label "Dice:"
    CheckBox* Check3 = nullptr;       // grey label "Sides:"
    CheckBox* Check4 = nullptr;       // switches Text4
    CheckBox* Check5 = nullptr;       // switches Text5
    TextBox* Text1 = nullptr;         // caption, any characters
    TextBox* Text2 = nullptr;         // number of dice
    TextBox* Text3 = nullptr;         // sides of each die
    TextBox* Text4 = nullptr;         // amount added to each die
    TextBox* Text5 = nullptr;         // amount added to the total
    CommandButton* Reload = nullptr;  // never shown: refreshes the main window's quick slot bar

    // The commands
    QGroupBox* Frame2 = nullptr;
    CommandButton* Command1 = nullptr;  // Add
    QFrame* Line1 = nullptr;
    CommandButton* Command4 = nullptr;  // Remove
    CommandButton* Command2 = nullptr;  // Clear
    CommandButton* Command3 = nullptr;  // Cancel

    // Builds every control on form, which becomes a fixed-size dialog window.
    void setup(QWidget* form);

private:
    void setupFields();
    void setupCommands();
};

}  // namespace tumblecast
