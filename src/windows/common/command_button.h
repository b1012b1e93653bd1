#pragma once

#include <QPushButton>

namespace tumblecast {

// A push button whose access key (Alt + the underlined letter) moves the focus to it and clicks it at
// once, instead of Qt's delayed animated click: a handler it runs has ended when the key press has.
// Enter presses it while it has the focus, as Space does, although it is never a default button.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString& caption, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The same access key behaviour for any button.
bool handleAccessKey(QAbstractButton* button, QEvent* event);
// Clicks the focused button on Enter or keypad Enter; false for any other key.
bool handleEnterKey(QAbstractButton* button, QKeyEvent* event);

}  // namespace tumblecast
