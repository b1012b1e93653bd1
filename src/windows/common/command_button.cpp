#include "windows/common/command_button.h"

#include <QKeyEvent>
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

bool handleEnterKey(QAbstractButton* button, QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    // A held key clicks once, as a held Space does, rather than queueing a roll per repeat.
    if (!event->isAutoRepeat()) button->click();
    return true;
}

CommandButton::CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setAutoDefault(false);
}

bool CommandButton::event(QEvent* event) { return handleAccessKey(this, event) || QPushButton::event(event); }

// Without autoDefault a push button leaves Enter alone; that stays off so that Enter in a field never
// presses a button.
void CommandButton::keyPressEvent(QKeyEvent* event)
{
    if (!handleEnterKey(this, event)) QPushButton::keyPressEvent(event);
}

}  // namespace tumblecast
