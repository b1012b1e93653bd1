// The main window's commands on the result box (Export, Clear, Copy) and its eleven fixed presets.
#include <QProgressBar>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <new>
#include <optional>

#include "engine/export_text.h"
#include "engine/messages.h"
#include "platform/platform.h"
#include "windows/common/check_box.h"
#include "windows/common/command_button.h"
#include "windows/common/text_box.h"
#include "windows/main/export_file.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"

namespace tumblecast {

namespace {

// The ten presets that roll plain dice: no modifier, no total modifier.
struct PlainPreset {
    CommandButton* Form1Controls::*button;
    void (Form1::*click)();
    QStringView dice;
    QStringView sides;
};

const PlainPreset kPlainPresets[] = {
    {&Form1Controls::Option1, &Form1::Option1_Click, u"1", u"2"},
    {&Form1Controls::Option2, &Form1::Option2_Click, u"1", u"4"},
    {&Form1Controls::Option3, &Form1::Option3_Click, u"1", u"6"},
    {&Form1Controls::Option4, &Form1::Option4_Click, u"1", u"8"},
    {&Form1Controls::Option5, &Form1::Option5_Click, u"1", u"10"},
    {&Form1Controls::Option6, &Form1::Option6_Click, u"1", u"12"},
    {&Form1Controls::Option7, &Form1::Option7_Click, u"1", u"20"},
    {&Form1Controls::Option8, &Form1::Option8_Click, u"1", u"100"},
    {&Form1Controls::Option15, &Form1::Option15_Click, u"3", u"6"},
    {&Form1Controls::Option10, &Form1::Option10_Click, u"2", u"4"},
};

}  // namespace

void Form1::wireCommands()
{
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    for (const PlainPreset& preset : kPlainPresets)
        connect(this->*preset.button, &QPushButton::clicked, this, preset.click);
    connect(Option9, &QPushButton::clicked, this, &Form1::Option9_Click);
}

// ---- Result box commands ----

void Form1::Command1_Click()
{
    if (Text1->isEmpty()) {
        m_platform.message(QStringLiteral("Nothing to export. the result box is empty"));
        return;
    }
    const std::optional<QString> chosen =
        m_platform.saveFileName({.title = QStringLiteral("Save resault as..."),
                                 .fileName = m_exportPath,
                                 .filter = QStringLiteral("Text files (*.txt)"),
                                 .defaultSuffix = QStringLiteral("txt")});
    // Cancelling writes nothing: the file the dialog last held is not the user's choice this time.
    if (!chosen) return;
    m_exportPath = *chosen;
    const QDate today = m_platform.today();
    const std::chrono::year_month_day date{std::chrono::year(today.year()),
                                           std::chrono::month(static_cast<unsigned>(today.month())),
                                           std::chrono::day(static_cast<unsigned>(today.day()))};
    std::optional<QString> failure;
    setBusy(true);  // a large record takes a while to write
    try {
        failure = writeExportFile(
            *chosen, {[&] { return exportTextSize(Text1->source(), date); },
                      [&](const files::Sink& sink) { writeExportText(Text1->source(), date, sink); }});
    } catch (const std::bad_alloc&) {
        failure = QString::fromLatin1(kOutOfMemory);
    }
    setBusy(false);
    if (failure) m_platform.message(*failure);
}

// Each step is an ordinary change, so the change and click handlers run after it: Dice and Sides refill
// with "0", the repeat field shows "0" only if it held text, the switches grey their fields.
void Form1::Command2_Click()
{
    try {
        ProgressBar1->setValue(0);
        Text1->clear();
        for (TextBox* field : {Text2, Text3, Text4, Text5, Text6}) field->setText(QString());
        for (CheckBox* box : {Check1, Check2, Check3}) box->setValue(CheckValue::Unchecked);
    } catch (const std::bad_alloc&) {
        m_platform.message(QString::fromLatin1(kOutOfMemory));
    }
}

// Copy ignores its failures: the clipboard keeps what it had.
void Form1::Command6_Click()
{
    try {
        // The box's own copy leaves the clipboard alone for an empty selection; this button puts empty text.
        if (Text1->selLength() == 0)
            m_platform.setClipboardText(QString());
        else
            Text1->copy();
    } catch (const std::exception&) {
    }
}

// ---- Presets ----

// Switches both modifiers off (their click handlers empty and grey the fields), fills Dice and Sides, rolls.
void Form1::rollPreset(const CommandButton* button)
{
    const auto preset = std::find_if(std::begin(kPlainPresets), std::end(kPlainPresets),
                                     [&](const PlainPreset& row) { return this->*row.button == button; });
    Text4->setEnabled(false);
    Text5->setEnabled(false);
    Check1->setValue(CheckValue::Unchecked);
    Check2->setValue(CheckValue::Unchecked);
    Text2->setText(preset->dice.toString());
    Text3->setText(preset->sides.toString());
    Command4_Click();
}

void Form1::Option1_Click() { rollPreset(Option1); }
void Form1::Option2_Click() { rollPreset(Option2); }
void Form1::Option3_Click() { rollPreset(Option3); }
void Form1::Option4_Click() { rollPreset(Option4); }
void Form1::Option5_Click() { rollPreset(Option5); }
void Form1::Option6_Click() { rollPreset(Option6); }
void Form1::Option7_Click() { rollPreset(Option7); }
void Form1::Option8_Click() { rollPreset(Option8); }
void Form1::Option15_Click() { rollPreset(Option15); }
void Form1::Option10_Click() { rollPreset(Option10); }

// 1D6+1: the one preset with a modifier. Ticking "Modify:" from unticked moves the focus into its field.
void Form1::Option9_Click()
{
    Text4->setEnabled(true);
    Text5->setEnabled(false);
    Check1->setValue(CheckValue::Checked);
    Check2->setValue(CheckValue::Unchecked);
    Text2->setText(QStringLiteral("1"));
    Text3->setText(QStringLiteral("6"));
    Text4->setText(QStringLiteral("1"));
    Command4_Click();
}

}  // namespace tumblecast
