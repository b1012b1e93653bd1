#include "windows/common/text_box.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace tumblecast {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

void TextBox::setKeyPress(KeyPress handler)
{
    m_keyPress = std::move(handler);
    setAttribute(Qt::WA_InputMethodEnabled, !m_keyPress);
}

void TextBox::keyPressEvent(QKeyEvent* event)
{
    // Keys that make no character (arrows, Home, Delete) and focus moves are not typed characters.
    const int key = event->key();
    if (!m_keyPress || event->text().isEmpty() || key == Qt::Key_Tab || key == Qt::Key_Backtab ||
        key == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (m_keyPress(event->text().at(0).unicode()))
        QLineEdit::keyPressEvent(event);
    else
        event->accept();
}

// Text composed elsewhere still passes the filter, character by character.
void TextBox::inputMethodEvent(QInputMethodEvent* event)
{
    if (!m_keyPress || event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QString commit;
    for (const QChar c : event->commitString())
        if (m_keyPress(c.unicode())) commit += c;
    QInputMethodEvent kept(event->preeditString(), event->attributes());
    kept.setCommitString(commit, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&kept);
}

void TextBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // A closing context menu or message box, or the window coming back to the front, hands the focus
    // back to where it was: the field did not get it anew, and the user's selection stays.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) emit gotFocus();
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    emit dblClick();
}

}  // namespace tumblecast
