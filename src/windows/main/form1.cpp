#include "windows/main/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <new>
#include <variant>

#include "engine/messages.h"
#include "platform/platform.h"
#include "roll/generate_roll.h"
#include "roll/roll_shown.h"
#include "windows/about/zentor.h"
#include "windows/common/check_box.h"
#include "windows/common/command_button.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/common/vali_text.h"
#include "windows/main/result_box.h"
#include "windows/notation/notation_window.h"
#include "windows/statistics/statistics_window.h"

namespace tumblecast {

namespace {

// A text "below 0" sorts before "0" by character code: the empty text, or one that starts with a blank,
// a sign, a point or any other character below the digits.
bool isBelowZero(const QString& text) { return text.isEmpty() || text.at(0).unicode() < u'0'; }

std::string toStd(const QString& text) { return text.toStdString(); }

QString fromStd(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

Form1::Form1(Platform& platform, const DieSource& dice, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_dice(dice)
{
    setup(this);
    wireFields();
    wireCommands();
    connect(Text1, &ResultBox::changed, this, &Form1::Text1_Change);
    connect(Text1, &ResultBox::copyRequested, this,
            [this](const QString& text) { m_platform.setClipboardText(text); });
    connect(Text1, &ResultBox::messageRequested, this,
            [this](const QString& prompt) { m_platform.message(prompt); });
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Check6, &QCheckBox::stateChanged, this, &Form1::Check6_Click);
    wireSlots();
    wireStatistics();
    wireOptions();
    wireNotation();

    // Created means loaded: the bar follows the profile before the window is first shown.
    Form_Load();
    centreOnScreen(this);
}

Form1::~Form1()
{
    setBusy(false);
    // The program may end while the about window is open; it has no parent to take it along.
    delete m_about;
    delete m_statistics;
    delete m_notation;
    discardSlotEditor();
}

void Form1::wireFields()
{
    struct Handlers {
        TextBox* field;
        void (Form1::*change)();
        void (Form1::*keyPress)(int&);
        void (Form1::*gotFocus)();
        void (Form1::*dblClick)();
    };
    const Handlers fields[] = {
        {Text2, &Form1::Text2_Change, &Form1::Text2_KeyPress, &Form1::Text2_GotFocus, &Form1::Text2_DblClick},
        {Text3, &Form1::Text3_Change, &Form1::Text3_KeyPress, &Form1::Text3_GotFocus, &Form1::Text3_DblClick},
        {Text4, &Form1::Text4_Change, &Form1::Text4_KeyPress, &Form1::Text4_GotFocus, &Form1::Text4_DblClick},
        {Text5, &Form1::Text5_Change, &Form1::Text5_KeyPress, &Form1::Text5_GotFocus, &Form1::Text5_DblClick},
        {Text6, &Form1::Text6_Change, &Form1::Text6_KeyPress, &Form1::Text6_GotFocus, &Form1::Text6_DblClick},
    };
    for (const Handlers& h : fields) {
        connect(h.field, &QLineEdit::textChanged, this, h.change);
        // The filters only ever keep a key or drop it.
        h.field->setKeyPress([this, keyPress = h.keyPress](int code) {
            (this->*keyPress)(code);
            return code != 0;
        });
        connect(h.field, &TextBox::gotFocus, this, h.gotFocus);
        connect(h.field, &TextBox::dblClick, this, h.dblClick);
    }
    connect(Check1, &QCheckBox::stateChanged, this, &Form1::Check1_Click);
    connect(Check2, &QCheckBox::stateChanged, this, &Form1::Check2_Click);
    connect(Check3, &QCheckBox::stateChanged, this, &Form1::Check3_Click);
}

// ---- Numeric fields ----

void Form1::Text2_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form1::Text3_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form1::Text4_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form1::Text5_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form1::Text6_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }

// The change rules. Every step reads the field again: a text set here has already run its rule once more,
// nested.

// Dice and sides: never empty, never below zero, never more than the largest die.
void Form1::keepCountInRange(TextBox* field)
{
    if (field->text().isEmpty()) field->setText(QStringLiteral("0"));
    if (isBelowZero(field->text())) field->setText(QStringLiteral("0"));
    // A text that is not all digits (only pasting brings one) stays for Generate to refuse.
    if (const auto count = readNumber(toStd(field->text())); count && *count > kMaxSides)
        field->setText(QString::number(kMaxSides));
}

// Modifiers: a text below zero empties the field.
void Form1::emptyBelowZero(TextBox* field)
{
    if (isBelowZero(field->text())) field->setText(QString());
}

// Repeat count: an emptied field reads "0"; a text below zero is emptied, and so ends as "0" too.
void Form1::keepRepeatCount(TextBox* field)
{
    if (field->text().isEmpty()) field->setText(QStringLiteral("0"));
    if (isBelowZero(field->text())) field->setText(QString());
}

void Form1::Text2_Change() { keepCountInRange(Text2); }
void Form1::Text3_Change() { keepCountInRange(Text3); }
void Form1::Text4_Change() { emptyBelowZero(Text4); }
void Form1::Text5_Change() { emptyBelowZero(Text5); }
void Form1::Text6_Change() { keepRepeatCount(Text6); }

void Form1::selectContent(TextBox* field) { field->setSelection(0, field->maxLength()); }

void Form1::Text2_GotFocus() { selectContent(Text2); }
void Form1::Text3_GotFocus() { selectContent(Text3); }
void Form1::Text4_GotFocus() { selectContent(Text4); }
void Form1::Text5_GotFocus() { selectContent(Text5); }
void Form1::Text6_GotFocus() { selectContent(Text6); }
void Form1::Text2_DblClick() { selectContent(Text2); }
void Form1::Text3_DblClick() { selectContent(Text3); }
void Form1::Text4_DblClick() { selectContent(Text4); }
void Form1::Text5_DblClick() { selectContent(Text5); }
void Form1::Text6_DblClick() { selectContent(Text6); }

// The field is emptied before it is switched, so its change rule still sees the old state.
void Form1::switchField(CheckBox* box, TextBox* field)
{
    switch (box->value()) {
        case CheckValue::Checked:
            field->setText(QString());
            switchFieldOn(field, true);
            field->setFocus(Qt::OtherFocusReason);
            break;
        case CheckValue::Unchecked:
            field->setText(QString());
            switchFieldOn(field, false);
            break;
        case CheckValue::Grayed:
            break;
    }
}

void Form1::Check1_Click() { switchField(Check1, Text4); }
void Form1::Check2_Click() { switchField(Check2, Text5); }
void Form1::Check3_Click() { switchField(Check3, Text6); }

// ---- Generate ----

RollFields Form1::fields() const
{
    return {.dice = toStd(Text2->text()),
            .sides = toStd(Text3->text()),
            .perDie = Check1->value() == CheckValue::Checked,
            .modifyEnabled = Text4->isEnabled(),
            .modify = toStd(Text4->text()),
            .totalModifyEnabled = Text5->isEnabled(),
            .totalModify = toStd(Text5->text()),
            .timesEnabled = Text6->isEnabled(),
            .times = toStd(Text6->text()),
            .storedTimes = toStd(Text12->text())};
}

// Deletes leading zeros through the field's own selection, so that its change rule runs after each one.
// Six passes strip a field of the longest text any field takes.
void Form1::stripLeadingZeros(TextBox* field)
{
    for (int pass = 0; pass < 6; ++pass) {
        field->setSelection(0, 1);
        if (field->selectedText() == QLatin1String("0")) field->insert(QString());
    }
}

void Form1::Command4_Click()
{
    try {
        Text1->clear();
        RollFields entered = fields();
        if (const auto failed = firstFailedCheck(entered)) {
            m_platform.message(fromStd(*failed));
            setBusy(false);
            return;
        }
        // Stripping zeros would turn pasted text such as "0.5" into a number; refuse it as it stands.
        entered.storedTimes = repeatCountOf(entered);
        if (const ReadRequest read = readRequest(entered); std::holds_alternative<std::string_view>(read)) {
            fail(std::get<std::string_view>(read));
            return;
        }

        stripLeadingZeros(Text2);
        stripLeadingZeros(Text3);
        for (TextBox* field : {Text4, Text5, Text6})
            if (field->isEnabled()) stripLeadingZeros(field);
        Text12->setText(fromStd(repeatCountOf(fields())));

        const ReadRequest read = readRequest(fields());
        if (const auto* failure = std::get_if<std::string_view>(&read)) {
            fail(*failure);
            return;
        }
        // The record is rendered from the dice as the box shows it: the largest run is there at once, so
        // the bar has nothing to count and ends empty, as after any run.
        const RollRequest& request = std::get<RollRequest>(read);
        ProgressBar1->setMaximum(static_cast<int>(request.dice));
        setBusy(true);
        showRoll(GenerateRoll::roll(request, m_dice, m_nextDie));
        setBusy(false);
        ProgressBar1->setValue(0);
    } catch (const std::bad_alloc&) {
        fail(kOutOfMemory);
    } catch (const std::exception& failure) {
        fail(failure.what());
    }
}

void Form1::fail(std::string_view description)
{
    setBusy(false);
    m_platform.message(fromStd(description));
}

void Form1::setBusy(bool busy)
{
    setCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
    // The window's own pointer does not reach the text boxes, which keep theirs; the override does.
    if (busy != m_overrideCursor) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
        m_overrideCursor = busy;
    }
}

// ---- Result box ----

void Form1::Text1_Change() { Command6->setEnabled(!Text1->isEmpty()); }

// ---- Life cycle ----

void Form1::Command3_Click() { m_platform.endProgram(); }

// One about window at most, modeless; asking again brings the open one to the front.
void Form1::Command5_Click()
{
    if (!m_about) m_about = new zentor(m_platform);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void Form1::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload() { m_platform.endProgram(); }

}  // namespace tumblecast
