// The quick slots on the main window: rolling a slot and opening the slot editor on one.
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>

#include <tuple>

#include "profile/quick_slots.h"
#include "windows/common/check_box.h"
#include "windows/common/click_events.h"
#include "windows/common/command_button.h"
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
    const QuickSlot stored = readQuickSlot(m_platform, slot);
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
        m_editor = new Form2(m_platform, *this);
    } else if (otherSlot) {
        m_editor->Form_Load();
        m_editor->Text1->setFocus(Qt::OtherFocusReason);
    }
    m_editor->setWindowTitle(title);
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}

Form2* Form1::slotEditor() const { return m_editor && m_editor->isLoaded() ? m_editor.data() : nullptr; }

// The program is ending: the editor goes without unloading, so nothing is stored and the bar not reloaded.
void Form1::discardSlotEditor() { delete m_editor; }

}  // namespace tumblecast
