#pragma once

#include <QLineEdit>

#include <functional>

namespace tumblecast {

// A single-line text box that, like the classic control, lets its owner see each typed character before
// it arrives (and replace or drop it), and says when it gets the focus or is double-clicked.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    // Takes the typed character's code; returns the code to enter instead, or 0 to drop the key.
    using KeyPress = std::function<int(int code)>;

    explicit TextBox(QWidget* parent = nullptr);
    void setKeyPress(KeyPress handler) { m_keyPress = std::move(handler); }

signals:
    void gotFocus();
    void dblClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    KeyPress m_keyPress;
};

}  // namespace tumblecast
