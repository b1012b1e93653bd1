#pragma once

class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QWidget;

namespace tumblecast {

class ButtonCheckBox;
class CheckBox;
class CommandButton;
class ResultBox;
class TextBox;

// The main window's controls in their opening state: built, placed, named and in tab order, with no
// behaviour; Form1 connects its handlers to them. Each carries the name the window's behaviour is written
// in, as its member name and its object name, so a rule about "Text4" is found under that name.
struct Form1Controls {
    // Frame "Result"
    QGroupBox* Frame1 = nullptr;
    ResultBox* Text1 = nullptr;  // the result box: the record of the last roll

    // Frame "Dice Roller"
    QGroupBox* Frame2 = nullptr;
    QWidget* Picture1 = nullptr;           // disabled panel holding the two grey labels
    CheckBox* Check5 = nullptr;            // grey label "Dice:"
    CheckBox* Check4 = nullptr;            // grey label "Sides:"
    TextBox* Text2 = nullptr;              // number of dice
    TextBox* Text3 = nullptr;              // sides of each die
    CheckBox* Check1 = nullptr;            // switches Text4
    TextBox* Text4 = nullptr;              // amount added to each die
    CheckBox* Check2 = nullptr;            // switches Text5
    TextBox* Text5 = nullptr;              // amount added to the total of a repetition
    CheckBox* Check3 = nullptr;            // switches Text6
    TextBox* Text6 = nullptr;              // number of repetitions
    QFrame* Line1 = nullptr;               // separator above the commands
    CommandButton* Command4 = nullptr;     // Generate
    CommandButton* Command2 = nullptr;     // Clear
    CommandButton* Command1 = nullptr;     // Export to text
    CommandButton* Command3 = nullptr;     // Close
    QFrame* Line4 = nullptr;               // separator above the bottom row
    CommandButton* Command6 = nullptr;     // Copy the result box's selection
    QProgressBar* ProgressBar1 = nullptr;  // progress of a roll
    CommandButton* Command5 = nullptr;     // About
    ButtonCheckBox* Check6 = nullptr;      // quick slot bar on and off

    // Frame "Quick Slots": the presets, each beside the label naming its roll, then the user's slots
    QGroupBox* Frame3 = nullptr;
    CommandButton* Option1 = nullptr;   // 1D2
    QLabel* Label3 = nullptr;           // caption "1D2"
    CommandButton* Option2 = nullptr;   // 1D4
    QLabel* Label4 = nullptr;           // caption "1D4"
    CommandButton* Option3 = nullptr;   // 1D6
    QLabel* Label5 = nullptr;           // caption "1D6"
    CommandButton* Option4 = nullptr;   // 1D8
    QLabel* Label6 = nullptr;           // caption "1D8"
    CommandButton* Option5 = nullptr;   // 1D10
    QLabel* Label7 = nullptr;           // caption "1D10"
    CommandButton* Option6 = nullptr;   // 1D12
    QLabel* Label8 = nullptr;           // caption "1D12"
    CommandButton* Option7 = nullptr;   // 1D20
    QLabel* Label9 = nullptr;           // caption "1D20"
    CommandButton* Option8 = nullptr;   // 1D100
    QLabel* Label10 = nullptr;          // caption "1D100"
    QFrame* Line3 = nullptr;            // separator above the other presets
    CommandButton* Option15 = nullptr;  // 3D6
    QLabel* Label1 = nullptr;           // caption "3D6"
    CommandButton* Option9 = nullptr;   // 1D6+1
    QLabel* Label11 = nullptr;          // caption "1D6+1"
    CommandButton* Option10 = nullptr;  // 2D4
    QLabel* Label12 = nullptr;          // caption "2D4"
    QFrame* Line2 = nullptr;            // separator above the quick slots
    CommandButton* Option11 = nullptr;  // quick slot 1
    QLabel* Label13 = nullptr;          // Option11's caption, from the profile
    CommandButton* Option12 = nullptr;  // quick slot 2
    QLabel* Label14 = nullptr;          // Option12's caption, from the profile
    CommandButton* Option13 = nullptr;  // quick slot 3
    QLabel* Label15 = nullptr;          // Option13's caption, from the profile
    CommandButton* Option14 = nullptr;  // quick slot 4
    QLabel* Label16 = nullptr;          // Option14's caption, from the profile
    CommandButton* Option17 = nullptr;  // quick slot 5
    QLabel* Label17 = nullptr;          // Option17's caption, from the profile

    // Hidden scratch fields
    TextBox* Text12 = nullptr;    // the repeat count Generate stored for its run
    TextBox* TextHelp = nullptr;  // the quick slot being edited, for the slot editor

    // Builds every control on form, which becomes a fixed-size dialog window.
    void setup(QWidget* form);

private:
    void setupResultFrame(QWidget* form);
    void setupRollerFrame(QWidget* form);
    void setupSlotsFrame(QWidget* form);
    void setupTabOrder();
};

}  // namespace tumblecast
