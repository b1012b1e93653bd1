#pragma once

#include <QLineEdit>

#include <functional>

namespace tumblecast {

// A single-line text box that, like the classic control, lets its owner see each typed character before
// it arrives (and replace or drop it), and says when it gets the focus or is double-clicked.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    // Sees each typed character's code and may replace it; 0 drops the character.
    using KeyPress = std::function<void(int& keyAscii)>;

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
    int filtered(int code) const;

    KeyPress m_keyPress;
};

}  // namespace tumblecast
