// The slot editor's layout, in twips as it was designed; nothing here reacts to anything.
#include "windows/slot_editor/form2_controls.h"

#include <QGroupBox>
#include <QIcon>

#include <iterator>

#include "windows/common/accessibility.h"
#include "windows/common/check_box.h"
#include "windows/common/command_button.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"

namespace tumblecast {

namespace {

QGroupBox* makeFrame(QWidget* form, const char* name, int left, int width)
{
    auto* frame = named(new QGroupBox(form), name);
    frame->setGeometry(twipsRect(left, 0, width, 2055));
    // A plain grouping, so that the hidden Reload button can be left out of what a screen reader lists.
    exposeAs(frame, QAccessible::Grouping);
    return frame;
}

TextBox* makeField(QWidget* parent, const char* name, int top, int maxLength, const QString& label)
{
    auto* field = named(new TextBox(parent), name);
    field->setGeometry(twipsRect(1440, top, 1215, 285));
    field->setMaxLength(maxLength);
    field->setAccessibleName(label);
    setBackColor(field, SystemColor::WindowBackground);
    return field;
}

CheckBox* makeCheck(QWidget* parent, const char* name, int left, int top, const QString& caption)
{
    auto* box = named(new CheckBox(caption, parent), name);
    box->setGeometry(twipsRect(left, top, 1215, 375));
    return box;
}

CommandButton* makeCommand(QWidget* parent, const char* name, const QString& caption, int top, int height)
{
    auto* button = named(new CommandButton(caption, parent), name);
    button->setGeometry(twipsRect(120, top, 855, height));
    return button;
}

TextBox* makeScratch(QWidget* form, const char* name, int top)
{
    auto* field = named(new TextBox(form), name);
    field->setGeometry(twipsRect(1080, top, 255, 285));
    field->hide();
    hideFromAssistiveTechnology(field);
    return field;
}

}  // namespace

void Form2Controls::setup(QWidget* form)
{
    form->setObjectName(QStringLiteral("Form2"));
    form->setWindowIcon(QIcon(QStringLiteral(":/tumblecast.ico")));
    form->setFont(dialogFont());
    form->setFixedSize(twips(3990), twips(2100));
    exposeAs(form, QAccessible::Dialog);

    // Created first, so the frames cover them.
    Text7 = makeScratch(form, "Text7", 240);
    Text8 = makeScratch(form, "Text8", 600);

    Frame1 = makeFrame(form, "Frame1", 10, 2775);
    Frame2 = makeFrame(form, "Frame2", 2890, 1095);
    setupFields();
    setupCommands();

    QWidget* const order[] = {Text1,  Text2,    Text3,    Text4,    Text5,   Check5,
                              Check4, Command3, Command2, Command1, Command4};
    for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    Text1->setFocus();
}

void Form2Controls::setupFields()
{
    // The field labels are grey-ticked check boxes on a disabled panel, so they cannot be changed.
    Picture1 = named(new QWidget(Frame1), "Picture1");
    Picture1->setGeometry(twipsRect(120, 120, 1215, 1095));
    Picture1->setEnabled(false);
    Check1 = makeCheck(Picture1, "Check1", 0, 0, QStringLiteral("Caption:"));
    Check2 = makeCheck(Picture1, "Check2", 0, 360, QStringLiteral("Dice:"));
    Check3 = makeCheck(Picture1, "Check3", 0, 720, QStringLiteral("Sides:"));
    for (CheckBox* label : {Check1, Check2, Check3}) useAsFieldLabel(label);
    Check4 = makeCheck(Frame1, "Check4", 120, 1200, QStringLiteral("Modify:"));
    Check5 = makeCheck(Frame1, "Check5", 120, 1560, QStringLiteral("Modify Total:"));

    Text1 = makeField(Frame1, "Text1", 240, 10, QStringLiteral("Caption"));
    Text1->setText(QStringLiteral("Slot#"));
    Text2 = makeField(Frame1, "Text2", 600, 3, QStringLiteral("Dice"));
    Text3 = makeField(Frame1, "Text3", 960, 3, QStringLiteral("Sides"));
    Text4 = makeField(Frame1, "Text4", 1290, 3, QStringLiteral("Modify"));
    Text5 = makeField(Frame1, "Text5", 1680, 3, QStringLiteral("Modify Total"));
    for (TextBox* off : {Text4, Text5}) switchFieldOn(off, false);

    Reload = named(new CommandButton(QStringLiteral("R"), Frame1), "Reload");
    Reload->setGeometry(twipsRect(1080, 840, 255, 195));
    Reload->hide();
    hideFromAssistiveTechnology(Reload);
}

void Form2Controls::setupCommands()
{
    Command1 = makeCommand(Frame2, "Command1", QStringLiteral("&Add"), 240, 375);
    Line1 = named(makeLine(Frame2, 120, 960, 780), "Line1");
    Command4 = makeCommand(Frame2, "Command4", QStringLiteral("&Remove"), 960, 255);
    Command2 = makeCommand(Frame2, "Command2", QStringLiteral("C&lear"), 1320, 255);
    Command3 = makeCommand(Frame2, "Command3", QStringLiteral("&Cancel"), 1680, 255);
}

}  // namespace tumblecast
