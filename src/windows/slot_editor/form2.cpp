#include "windows/slot_editor/form2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>

#include <algorithm>

#include "engine/roll_request.h"
#include "platform/platform.h"
#include "profile/quick_slots.h"
#include "windows/common/check_box.h"
#include "windows/common/command_button.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/common/vali_text.h"

namespace tumblecast {

QString slotEditorTitle(int slot) { return QStringLiteral("Edit user Slot - Slot%1").arg(slot); }

// A dialog whose parent is the main window: window managers keep it above its owner and leave it out of
// the task bar, which a parentless window would get.
Form2::Form2(Platform& platform, QWidget& owner, const QLineEdit& slotSelector)
    : QWidget(&owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_platform(platform),
      m_owner(owner),
      m_selector(slotSelector)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setup(this);
    wireControls();
    centreOnOwner();
    Form_Load();
}

void Form2::wireControls()
{
    struct Handlers {
        TextBox* field;
        void (Form2::*change)();
        void (Form2::*keyPress)(int&);
    };
    const Handlers fields[] = {
        {Text2, &Form2::Text2_Change, &Form2::Text2_KeyPress},
        {Text3, &Form2::Text3_Change, &Form2::Text3_KeyPress},
        {Text4, &Form2::Text4_Change, &Form2::Text4_KeyPress},
        {Text5, &Form2::Text5_Change, &Form2::Text5_KeyPress},
    };
    for (const Handlers& h : fields) {
        connect(h.field, &QLineEdit::textChanged, this, h.change);
        h.field->setKeyPress([this, keyPress = h.keyPress](int code) {
            (this->*keyPress)(code);
            return code != 0;
        });
    }
    connect(Check4, &QCheckBox::stateChanged, this, &Form2::Check4_Click);
    connect(Check5, &QCheckBox::stateChanged, this, &Form2::Check5_Click);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Reload, &QPushButton::clicked, this, &Form2::Reload_Click);
}

// Over the middle of the main window, kept on its screen.
void Form2::centreOnOwner()
{
    QRect area(QPoint(), size());
    area.moveCenter(m_owner.frameGeometry().center());
    if (const QScreen* screen = m_owner.screen()) {
        const QRect room = screen->availableGeometry();
        area.moveLeft(
            std::clamp(area.left(), room.left(), std::max(room.left(), room.right() - area.width())));
        area.moveTop(std::clamp(area.top(), room.top(), std::max(room.top(), room.bottom() - area.height())));
    }
    move(area.topLeft());
}

int Form2::selectedSlot() const
{
    const QString selector = m_selector.text();
    for (int slot = 1; slot <= kQuickSlotCount; ++slot)
        if (selector == slotEditorTitle(slot)) return slot;
    return 0;
}

// ---- Life cycle ----

// Reads the slot afresh; never creates the profile. The fields cut what they cannot hold and run their
// change rules as the values go in.
void Form2::Form_Load()
{
    if (const int slot = selectedSlot()) {
        const QuickSlot stored = readQuickSlot(m_platform.executableDir(), slot);
        Check4->setValue(CheckValue::Unchecked);
        Check5->setValue(CheckValue::Unchecked);
        Text1->setText(stored.caption);
        Text2->setText(stored.dice);
        Text3->setText(stored.sides);
        Text4->setText(stored.modify);
        Text5->setText(stored.tmodify);
        for (TextBox* field : {Text4, Text5})
            if (field->text() == QLatin1String("0")) field->setText(QString());
        if (!Text4->text().isEmpty()) Check4->setValue(CheckValue::Checked);
        if (!Text5->text().isEmpty()) Check5->setValue(CheckValue::Checked);
    }
    Text1->setSelection(0, static_cast<int>(Text1->text().size()));
}

void Form2::loadSelectedSlot()
{
    Form_Load();
    Text1->setFocus(Qt::OtherFocusReason);
}

// Only when the main window took over: not over another application's window the user turned to, and not
// over the editor's own message box.
void Form2::Form_Deactivate()
{
    if (QApplication::activeWindow() == &m_owner) raise();
}

bool Form2::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowDeactivate) Form_Deactivate();
    return handled;
}

void Form2::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void Form2::Form_Unload()
{
    m_loaded = false;
    Reload_Click();
}

void Form2::Reload_Click() { emit reloadRequested(); }

// ---- Commands ----

void Form2::Command1_Click()
{
    if (Text3->text().isEmpty() || Text2->text().isEmpty()) {
        m_platform.message(QString::fromLatin1(kNeedDiceAndSides));
        return;
    }
    if (Text4->isEnabled() && Text4->text().isEmpty()) {
        m_platform.message(QString::fromLatin1(kNeedModify));
        return;
    }
    if (Text5->isEnabled() && Text5->text().isEmpty()) {
        m_platform.message(QString::fromLatin1(kNeedTotalModify));
        return;
    }
    const int slot = selectedSlot();
    Text7->setText(Check4->value() == CheckValue::Unchecked ? QStringLiteral("0") : Text4->text());
    Text8->setText(Check5->value() == CheckValue::Unchecked ? QStringLiteral("0") : Text5->text());
    // Stored as the fields hold them, whatever was pasted into them.
    if (slot)
        storeQuickSlot(m_platform.executableDir(), slot,
                       {Text1->text(), Text2->text(), Text3->text(), Text7->text(), Text8->text()});
    close();
}

void Form2::Command4_Click()
{
    if (const int slot = selectedSlot()) resetQuickSlot(m_platform.executableDir(), slot);
    close();
}

void Form2::Command2_Click()
{
    for (TextBox* field : {Text1, Text2, Text3, Text4, Text5}) field->setText(QString());
}

void Form2::Command3_Click() { close(); }

// ---- Fields ----

void Form2::switchField(CheckBox* box, TextBox* field)
{
    switch (box->value()) {
        case CheckValue::Checked:
            switchFieldOn(field, true);
            break;
        case CheckValue::Unchecked:
            field->setText(QString());
            switchFieldOn(field, false);
            break;
        case CheckValue::Grayed:
            break;
    }
}

void Form2::Check4_Click() { switchField(Check4, Text4); }
void Form2::Check5_Click() { switchField(Check5, Text5); }

// A lone zero is no count and no modifier: the field empties, so a number cannot start with 0.
void Form2::emptyLoneZero(TextBox* field)
{
    if (field->text() == QLatin1String("0")) field->setText(QString());
}

void Form2::Text2_Change() { emptyLoneZero(Text2); }
void Form2::Text3_Change() { emptyLoneZero(Text3); }
void Form2::Text4_Change() { emptyLoneZero(Text4); }
void Form2::Text5_Change() { emptyLoneZero(Text5); }

// The same filter, with the same arguments, as the main window's numeric fields.
void Form2::Text2_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form2::Text3_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form2::Text4_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }
void Form2::Text5_KeyPress(int& keyAscii) { keyAscii = ValiText(keyAscii, kDigits, true, m_platform); }

}  // namespace tumblecast
