// The quick slots on the main window: the bar as the profile sets it, rolling a slot, and opening the slot
// editor on one.
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>

#include <tuple>

#include "platform/platform.h"
#include "profile/quick_slots.h"
#include "windows/common/check_box.h"
#include "windows/common/click_events.h"
#include "windows/common/command_button.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/main/form1.h"
#include "windows/slot_editor/form2.h"

namespace tumblecast {

namespace {

// A modifier that is no number at all (empty included) is no modifier, like "0".
bool isNoModifier(const QString& stored)
{
    bool isNumber = false;
    const double value = stored.trimmed().toDouble(&isNumber);
    return !isNumber || value == 0;
}

}  // namespace

void Form1::wireSlots()
{
    connect(Option11, &QPushButton::clicked, this, &Form1::Option11_Click);
    connect(Option12, &QPushButton::clicked, this, &Form1::Option12_Click);
    connect(Option13, &QPushButton::clicked, this, &Form1::Option13_Click);
    connect(Option14, &QPushButton::clicked, this, &Form1::Option14_Click);
    connect(Option17, &QPushButton::clicked, this, &Form1::Option17_Click);
    // The first four labels answer a double click, the fifth a single one.
    connect(new ClickEvents(Label13), &ClickEvents::dblClick, this, &Form1::Label13_DblClick);
    connect(new ClickEvents(Label14), &ClickEvents::dblClick, this, &Form1::Label14_DblClick);
    connect(new ClickEvents(Label15), &ClickEvents::dblClick, this, &Form1::Label15_DblClick);
    connect(new ClickEvents(Label16), &ClickEvents::dblClick, this, &Form1::Label16_DblClick);
    connect(new ClickEvents(Label17), &ClickEvents::click, this, &Form1::Label17_Click);

    // The labels take no focus, and an empty slot's button none either: Ctrl+1 to Ctrl+5 open the editor
    // for a keyboard user.
    for (int slot = 1; slot <= kQuickSlotCount; ++slot) {
        const QKeySequence keys(QKeyCombination(Qt::ControlModifier, Qt::Key(Qt::Key_0 + slot)));
        new QShortcut(keys, this, this, [this, slot] { editSlot(slot); });
        slotButton(slot)->setAccessibleDescription(
            QStringLiteral("Rolls the quick slot; %1 edits it").arg(keys.toString(QKeySequence::NativeText)));
    }
}

void Form1::Option11_Click() { rollSlot(1); }
void Form1::Option12_Click() { rollSlot(2); }
void Form1::Option13_Click() { rollSlot(3); }
void Form1::Option14_Click() { rollSlot(4); }
void Form1::Option17_Click() { rollSlot(5); }

// The stored values go into the fields as they are, each field's rules running as it changes; Generate
// judges them. Ticking a box empties its field and moves the focus there before the value goes in.
void Form1::rollSlot(int slot)
{
    const QuickSlot stored = readQuickSlot(m_platform.executableDir(), slot);
    // Slot 1 keeps the boxes as they are, so a box already ticked runs no handler there.
    if (slot != 1) {
        Check1->setValue(CheckValue::Unchecked);
        Check2->setValue(CheckValue::Unchecked);
    }
    Text2->setText(stored.dice);
    Text3->setText(stored.sides);
    const std::tuple<CheckBox*, TextBox*, const QString&> modifiers[] = {{Check1, Text4, stored.modify},
                                                                         {Check2, Text5, stored.tmodify}};
    for (auto [box, field, value] : modifiers) {
        if (isNoModifier(value)) {
            field->setText(QString());
            box->setValue(CheckValue::Unchecked);
        } else {
            box->setValue(CheckValue::Checked);
            field->setText(value);
        }
    }
    Command4_Click();
}

void Form1::Label13_DblClick() { editSlot(1); }
void Form1::Label14_DblClick() { editSlot(2); }
void Form1::Label15_DblClick() { editSlot(3); }
void Form1::Label16_DblClick() { editSlot(4); }
void Form1::Label17_Click() { editSlot(5); }

// The editor learns its slot from TextHelp. One already open for another slot reads the new one, or Add
// would store its first slot's values under the second.
void Form1::editSlot(int slot)
{
    const QString title = slotEditorTitle(slot);
    const bool otherSlot = TextHelp->text() != title;
    TextHelp->setText(title);
    if (m_editor && !m_editor->isLoaded()) m_editor = nullptr;  // closed, its deletion still pending
    if (!m_editor) {
        m_editor = new Form2(m_platform, *this, *TextHelp);
        connect(m_editor, &Form2::reloadRequested, this,
                [this] { refreshQuickSlots(DefaultModifiers::Empty); });
    } else if (otherSlot) {
        m_editor->loadSelectedSlot();
    }
    m_editor->setWindowTitle(title);
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}

Form2* Form1::slotEditor() const { return m_editor && m_editor->isLoaded() ? m_editor.data() : nullptr; }

// The program is ending: the editor goes without unloading, so nothing is stored and the bar not reloaded.
void Form1::discardSlotEditor() { delete m_editor; }

// ---- The bar as the profile sets it ----

void Form1::Form_Load() { refreshQuickSlots(DefaultModifiers::Zero); }

void Form1::refreshQuickSlots(DefaultModifiers modifiers)
{
    RefreshQuickSlots(m_platform.executableDir(), *this, modifiers);
}

void Form1::setQuickSlotsValue(int value) { Check6->setValue(static_cast<CheckValue>(value)); }

CommandButton* Form1::slotButton(int slot) const
{
    CommandButton* const buttons[] = {Option11, Option12, Option13, Option14, Option17};
    return buttons[slot - 1];
}

QLabel* Form1::slotLabel(int slot) const
{
    QLabel* const labels[] = {Label13, Label14, Label15, Label16, Label17};
    return labels[slot - 1];
}

void Form1::setSlotEnabled(int slot, bool enabled) { slotButton(slot)->setEnabled(enabled); }

void Form1::setSlotCaption(int slot, const QString& caption)
{
    slotLabel(slot)->setText(caption);
    // A screen reader names the caption-less button by the label beside it.
    slotButton(slot)->setAccessibleName(caption);
}

// The window's outer width as the design gives it, taking the dialog frame (three pixels a side) off.
void Form1::setOuterWidth(int twipsWide) { setFixedWidth(twips(twipsWide - 90)); }

// The bar slides in or out in steps of 75 twips, the left edge staying put; the choice is kept.
void Form1::Check6_Click()
{
    switch (Check6->value()) {
        case CheckValue::Unchecked:
            for (int width = 6585; width >= 5085; width -= 75) setOuterWidth(width);
            writeQuickSlotsSwitch(m_platform.executableDir(), 0);
            break;
        case CheckValue::Checked:
            for (int width = 5025; width <= 6600; width += 75) setOuterWidth(width);
            writeQuickSlotsSwitch(m_platform.executableDir(), 1);
            break;
        case CheckValue::Grayed:
            break;
    }
}

}  // namespace tumblecast
