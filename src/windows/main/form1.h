#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "engine/roll_request.h"

class QGroupBox;
class QFrame;
class QLabel;
class QProgressBar;

namespace tumblecast {

class ButtonCheckBox;
class CheckBox;
class CommandButton;
class Platform;
class RandomSource;
class ResultBox;
class TextBox;

// The main window. Controls and handlers carry the names the program's behaviour is written in, so a rule
// about "Text4" or "Command4_Click" is found here under that name.
class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(Platform& platform, RandomSource& dice, QWidget* parent = nullptr);
    ~Form1() override;

    // Frame "Result"
    QGroupBox* Frame1;
    ResultBox* Text1;

    // Frame "Dice Roller"
    QGroupBox* Frame2;
    QWidget* Picture1;
    CheckBox* Check5;  // grey label "Dice:"
    CheckBox* Check4;  // grey label "Sides:"
    TextBox* Text2;
    TextBox* Text3;
    CheckBox* Check1;
    TextBox* Text4;
    CheckBox* Check2;
    TextBox* Text5;
    CheckBox* Check3;
    TextBox* Text6;
    QFrame* Line1;
    CommandButton* Command4;
    CommandButton* Command2;
    CommandButton* Command1;
    CommandButton* Command3;
    QFrame* Line4;
    CommandButton* Command6;
    QProgressBar* ProgressBar1;
    CommandButton* Command5;
    ButtonCheckBox* Check6;

    // Frame "Quick Slots": presets, then the user's slots
    QGroupBox* Frame3;
    CommandButton *Option1, *Option2, *Option3, *Option4, *Option5, *Option6, *Option7, *Option8;
    CommandButton *Option15, *Option9, *Option10;
    CommandButton *Option11, *Option12, *Option13, *Option14, *Option17;
    QLabel *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10;
    QLabel *Label1, *Label11, *Label12;
    QLabel *Label13, *Label14, *Label15, *Label16, *Label17;
    QFrame* Line3;
    QFrame* Line2;

    // Scratch fields the user never sees
    TextBox* Text12;
    TextBox* TextHelp;

public slots:
    void Command4_Click();  // Generate
    void Command3_Click();  // Close
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();
    void Text5_Change();
    void Text6_Change();
    void Text2_KeyPress(int& keyAscii);
    void Text3_KeyPress(int& keyAscii);
    void Text4_KeyPress(int& keyAscii);
    void Text5_KeyPress(int& keyAscii);
    void Text6_KeyPress(int& keyAscii);
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

protected:
    void closeEvent(QCloseEvent* event) override;
    void Form_Unload();

private:
    class RunView;

    void buildResultFrame();
    void buildRollerFrame();
    void buildSlotsFrame();
    void setTabOrder();
    void wireFields();

    TextBox* makeField(QWidget* parent, int top, int maxLength, const QString& tooltip);
    CheckBox* makeSwitch(QWidget* parent, int top, const QString& caption);
    CommandButton* makeSlotRow(int top, QLabel*& label, const QString& caption);

    void ruleA(TextBox* field);
    void ruleB(TextBox* field);
    void ruleC(TextBox* field);
    void switchField(CheckBox* box, TextBox* field);
    static void selectContent(TextBox* field);
    static void stripLeadingZeros(TextBox* field);
    RollFields fields() const;
    QString repeatCount() const;
    void fail(RunView& view, const QString& description);
    void setBusy(bool busy);

    Platform& m_platform;
    RandomSource& m_dice;
    bool m_overrideCursor = false;
};

}  // namespace tumblecast
