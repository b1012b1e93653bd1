#pragma once

#include <QPushButton>

namespace tumblecast {

// A push button whose access key (Alt + the underlined letter) moves the focus to it and clicks it at
// once, instead of Qt's delayed animated click: a handler it runs has ended when the key press has.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString& caption, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
};

// The same access key behaviour for any button.
bool handleAccessKey(QAbstractButton* button, QEvent* event);

}  // namespace tumblecast
