#pragma once

#include <QLineEdit>

#include <functional>

namespace tumblecast {

// A single-line text box that lets its owner see each typed character before it arrives and drop it,
// and says when it gets the focus or is double-clicked.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    // Sees each typed character's code; false drops the character.
    using KeyPress = std::function<bool(int code)>;

    explicit TextBox(QWidget* parent = nullptr);
    // A filtered field takes its characters one key at a time: no input method composes them.
    void setKeyPress(KeyPress handler);

signals:
    void gotFocus();
    void dblClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    KeyPress m_keyPress;
};

}  // namespace tumblecast
