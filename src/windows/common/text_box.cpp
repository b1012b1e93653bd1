#include "windows/common/text_box.h"

#include <QKeyEvent>

namespace tumblecast {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {}

void TextBox::keyPressEvent(QKeyEvent* event)
{
    // Keys that make no character (arrows, Home, Delete) and focus moves are not typed characters.
    const int key = event->key();
    if (!m_keyPress || event->text().isEmpty() || key == Qt::Key_Tab || key == Qt::Key_Backtab ||
        key == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int code = event->text().at(0).unicode();
    const int result = m_keyPress(code);
    if (result == 0) {
        event->accept();
        return;
    }
    if (result == code) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), QString(QChar(char16_t(result))),
                       event->isAutoRepeat(), event->count());
    QLineEdit::keyPressEvent(&replaced);
}

void TextBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    emit gotFocus();
}

void TextBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    emit dblClick();
}

}  // namespace tumblecast
