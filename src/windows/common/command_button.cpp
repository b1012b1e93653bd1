#include "windows/common/command_button.h"

#include <QShortcutEvent>

namespace tumblecast {

bool handleAccessKey(QAbstractButton* button, QEvent* event)
{
    if (event->type() != QEvent::Shortcut) return false;
    if (!button->isEnabled()) return true;
    // A button registers one shortcut, its access key, so every shortcut event here is that key.
    button->setFocus(Qt::ShortcutFocusReason);
    if (!static_cast<QShortcutEvent*>(event)->isAmbiguous()) button->click();
    return true;
}

CommandButton::CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setAutoDefault(false);
}

bool CommandButton::event(QEvent* event) { return handleAccessKey(this, event) || QPushButton::event(event); }

}  // namespace tumblecast
