// The main window's layout, in twips as it was designed; nothing here reacts to anything.
#include "windows/main/form1_controls.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>

#include <iterator>

#include "windows/common/accessibility.h"
#include "windows/common/check_box.h"
#include "windows/common/command_button.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/main/result_box.h"
#include "windows/main/result_box_accessible.h"

namespace tumblecast {

namespace {

constexpr int kFieldLeft = 1320;
constexpr int kFieldWidth = 975;
constexpr int kFieldHeight = 285;
constexpr int kCommandLeft = 240;
constexpr int kCommandWidth = 1935;
constexpr int kCommandHeight = 375;
constexpr int kSmallButton = 255;
constexpr int kBottomRow = 4270;

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, int left, int width)
{
    auto* frame = named(new QGroupBox(caption, parent), name);
    frame->setGeometry(twipsRect(left, 0, width, 4695));
    // A plain grouping, so that its separator lines can be left out of what a screen reader lists.
    exposeAs(frame, QAccessible::Grouping);
    frame->setAccessibleName(caption);
    return frame;
}

CommandButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* button = named(new CommandButton(caption, parent), name);
    button->setGeometry(geometry);
    return button;
}

CommandButton* makeCommand(QWidget* parent, const char* name, const QString& caption, int top)
{
    return makeButton(parent, name, caption, twipsRect(kCommandLeft, top, kCommandWidth, kCommandHeight));
}

// The field's accessible name is its label's caption, which a screen reader cannot link by itself.
TextBox* makeField(QWidget* parent, const char* name, int top, int maxLength, const QString& label,
                   const QString& tooltip)
{
    auto* field = named(new TextBox(parent), name);
    field->setGeometry(twipsRect(kFieldLeft, top, kFieldWidth, kFieldHeight));
    field->setMaxLength(maxLength);
    field->setAccessibleName(label);
    field->setToolTip(tooltip);
    setBackColor(field, SystemColor::WindowBackground);
    return field;
}

CheckBox* makeSwitch(QWidget* parent, const char* name, int top, const QString& caption)
{
    auto* box = named(new CheckBox(caption, parent), name);
    box->setGeometry(twipsRect(120, top, 1215, 255));
    return box;
}

// A caption-less square button with the label that says what it does.
CommandButton* makeSlotRow(QWidget* frame, const char* name, int top, QLabel*& label, const char* labelName,
                           const QString& caption)
{
    label = named(new QLabel(caption, frame), labelName);
    label->setGeometry(twipsRect(480, top, 855, 255));
    CommandButton* button =
        makeButton(frame, name, QString(), twipsRect(120, top, kSmallButton, kSmallButton));
    button->setAccessibleName(caption);
    return button;
}

}  // namespace

void Form1Controls::setup(QWidget* form)
{
    form->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    form->setObjectName(QStringLiteral("Form1"));
    form->setWindowTitle(QStringLiteral("Tumblecast"));
    form->setWindowIcon(QIcon(QStringLiteral(":/tumblecast.ico")));
    form->setFont(dialogFont());
    form->setFixedSize(twips(6510), twips(4725));

    // Stacked first to last from the bottom up, so Frame1 covers the scratch field under it.
    Text12 = named(new TextBox(form), "Text12");
    Text12->setGeometry(twipsRect(120, 240, 495, 285));
    Text12->hide();
    TextHelp = named(new TextBox(form), "TextHelp");
    TextHelp->setText(QStringLiteral("Text7"));
    TextHelp->hide();
    for (QWidget* scratch : {static_cast<QWidget*>(Text12), static_cast<QWidget*>(TextHelp)})
        hideFromAssistiveTechnology(scratch);
    exposeAs(form, QAccessible::Window);

    setupResultFrame(form);
    setupRollerFrame(form);
    setupSlotsFrame(form);
    setupTabOrder();

    Text1->setFocus();
}

void Form1Controls::setupResultFrame(QWidget* form)
{
    Frame1 = makeFrame(form, "Frame1", QStringLiteral("Result"), 10, 2415);
    Text1 = named(new ResultBox(Frame1), "Text1");
    Text1->setGeometry(twipsRect(120, 240, 2175, 4365));
    Text1->setAccessibleName(QStringLiteral("Result"));
    makeAccessible(Text1);
}

void Form1Controls::setupRollerFrame(QWidget* form)
{
    Frame2 = makeFrame(form, "Frame2", QStringLiteral("Dice Roller"), 2530, 2415);

    // The two field labels are grey-ticked check boxes on a disabled panel, so they cannot be changed.
    Picture1 = named(new QWidget(Frame2), "Picture1");
    Picture1->setGeometry(twipsRect(120, 240, 1215, 615));
    Picture1->setEnabled(false);
    Check5 = named(new CheckBox(QStringLiteral("Dice:"), Picture1), "Check5");
    Check5->setGeometry(twipsRect(0, 0, 1215, 255));
    Check4 = named(new CheckBox(QStringLiteral("Sides:"), Picture1), "Check4");
    Check4->setGeometry(twipsRect(0, 360, 1215, 255));
    for (CheckBox* label : {Check5, Check4}) useAsFieldLabel(label);

    Text2 = makeField(Frame2, "Text2", 240, 4, QStringLiteral("Dice"),
                      QStringLiteral("Enter how many dice to roll"));
    Text2->setText(QStringLiteral("0"));
    Text3 = makeField(Frame2, "Text3", 600, 6, QStringLiteral("Sides"),
                      QStringLiteral("Enter how many sides the dice has"));
    Text3->setText(QStringLiteral("0"));
    Check1 = makeSwitch(Frame2, "Check1", 960, QStringLiteral("Modify:"));
    Text4 = makeField(Frame2, "Text4", 960, 6, QStringLiteral("Modify"),
                      QStringLiteral("Enter a value to add to each dice"));
    Check2 = makeSwitch(Frame2, "Check2", 1320, QStringLiteral("Modify total:"));
    Text5 = makeField(Frame2, "Text5", 1320, 6, QStringLiteral("Modify total"),
                      QStringLiteral("Enter a value to add to the total sum"));
    Check3 = makeSwitch(Frame2, "Check3", 1680, QStringLiteral("Roll X times:"));
    Text6 = makeField(Frame2, "Text6", 1680, 4, QStringLiteral("Roll X times"),
                      QStringLiteral("Enter how many time to repet the roll"));
    for (TextBox* off : {Text4, Text5, Text6}) switchFieldOn(off, false);

    Line1 = named(makeLine(Frame2, 120, 2280, 2040), "Line1");
    Command4 = makeCommand(Frame2, "Command4", QStringLiteral("&Generate"), 2160);
    Command2 = makeCommand(Frame2, "Command2", QStringLiteral("C&lear"), 2640);
    Command1 = makeCommand(Frame2, "Command1", QStringLiteral("Export to &text"), 3120);
    Command3 = makeCommand(Frame2, "Command3", QStringLiteral("&Close"), 3600);
    Line4 = named(makeLine(Frame2, 120, 2280, 4080), "Line4");

    Command6 = makeButton(Frame2, "Command6", QStringLiteral("C"),
                          twipsRect(120, kBottomRow, kSmallButton, kSmallButton));
    Command6->setToolTip(QStringLiteral("Copy selected text to clipboard"));
    Command6->setAccessibleName(Command6->toolTip());
    Command6->setEnabled(false);
    ProgressBar1 = named(new QProgressBar(Frame2), "ProgressBar1");
    ProgressBar1->setGeometry(twipsRect(390, kBottomRow, 1335, 255));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setAccessibleName(QStringLiteral("Progress"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Command5 = makeButton(Frame2, "Command5", QStringLiteral("?"),
                          twipsRect(1750, kBottomRow, kSmallButton, kSmallButton));
    Command5->setToolTip(QStringLiteral("About"));
    Command5->setAccessibleName(QStringLiteral("About"));
    QFont bold = Command5->font();
    bold.setBold(true);
    Command5->setFont(bold);
    Check6 = named(new ButtonCheckBox(QStringLiteral("&D"), Frame2), "Check6");
    Check6->setGeometry(twipsRect(2040, kBottomRow, kSmallButton, kSmallButton));
    Check6->setToolTip(QStringLiteral("Quick Slots ON/OFF"));
    Check6->setAccessibleName(Check6->toolTip());
    Check6->setValue(CheckValue::Checked);
}

void Form1Controls::setupSlotsFrame(QWidget* form)
{
    Frame3 = makeFrame(form, "Frame3", QStringLiteral("Quick Slots"), 5050, 1455);
    Option1 = makeSlotRow(Frame3, "Option1", 240, Label3, "Label3", QStringLiteral("1D2"));
    Option2 = makeSlotRow(Frame3, "Option2", 480, Label4, "Label4", QStringLiteral("1D4"));
    Option3 = makeSlotRow(Frame3, "Option3", 720, Label5, "Label5", QStringLiteral("1D6"));
    Option4 = makeSlotRow(Frame3, "Option4", 960, Label6, "Label6", QStringLiteral("1D8"));
    Option5 = makeSlotRow(Frame3, "Option5", 1200, Label7, "Label7", QStringLiteral("1D10"));
    Option6 = makeSlotRow(Frame3, "Option6", 1440, Label8, "Label8", QStringLiteral("1D12"));
    Option7 = makeSlotRow(Frame3, "Option7", 1680, Label9, "Label9", QStringLiteral("1D20"));
    Option8 = makeSlotRow(Frame3, "Option8", 1920, Label10, "Label10", QStringLiteral("1D100"));
    Line3 = named(makeLine(Frame3, 120, 1320, 2280), "Line3");
    Option15 = makeSlotRow(Frame3, "Option15", 2400, Label1, "Label1", QStringLiteral("3D6"));
    Option9 = makeSlotRow(Frame3, "Option9", 2640, Label11, "Label11", QStringLiteral("1D6+1"));
    Option10 = makeSlotRow(Frame3, "Option10", 2880, Label12, "Label12", QStringLiteral("2D4"));
    Line2 = named(makeLine(Frame3, 120, 1320, 3240), "Line2");
    Option11 = makeSlotRow(Frame3, "Option11", 3360, Label13, "Label13", QStringLiteral("Slot1"));
    Option12 = makeSlotRow(Frame3, "Option12", 3600, Label14, "Label14", QStringLiteral("Slot2"));
    Option13 = makeSlotRow(Frame3, "Option13", 3840, Label15, "Label15", QStringLiteral("Slot3"));
    Option14 = makeSlotRow(Frame3, "Option14", 4080, Label16, "Label16", QStringLiteral("Slot4"));
    Option17 = makeSlotRow(Frame3, "Option17", 4320, Label17, "Label17", QStringLiteral("Slot5"));
    for (CommandButton* slot : {Option11, Option12, Option13, Option14, Option17}) slot->setEnabled(false);
}

void Form1Controls::setupTabOrder()
{
    QWidget* const order[] = {Text1,    Check1,   Check2,   Text2,    Text3,    Text4,    Text5,
                              Text6,    Command4, Command2, Command1, Command3, Check6,   Option1,
                              Option2,  Option3,  Option4,  Option5,  Option6,  Option7,  Option8,
                              Option14, Option10, Option9,  Option11, Option12, Option13, Command5,
                              Option15, Text12,   Option17, Check3,   Command6};
    for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace tumblecast
