#pragma once

#include <QCheckBox>

namespace tumblecast {

// A check box with the classic Value: 0 unticked, 1 ticked, 2 grey. The user's clicks only ever tick and
// untick; grey is set by the program.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(const QString& caption, QWidget* parent = nullptr);

    int value() const;
    // Runs the click handlers (stateChanged) only when the value changes.
    void setValue(int value);

protected:
    void nextCheckState() override;
    bool event(QEvent* event) override;
};

// A check box drawn as a push button: pressed while ticked.
class ButtonCheckBox : public CheckBox {
    Q_OBJECT
public:
    using CheckBox::CheckBox;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

}  // namespace tumblecast
