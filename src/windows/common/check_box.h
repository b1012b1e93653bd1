#pragma once

#include <QCheckBox>

namespace tumblecast {

// A check box's value; the numbers are those the profile and the window's handlers speak of.
enum class CheckValue { Unchecked = 0, Checked = 1, Grayed = 2 };

// A check box whose value can be grey as well as ticked or not. The user's clicks only ever tick and
// untick; grey is set by the program. Its access key ticks or unticks it at once.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(const QString& caption, QWidget* parent = nullptr);

    CheckValue value() const;
    // Runs the click handlers (stateChanged) only when the value changes.
    void setValue(CheckValue value);

protected:
    void nextCheckState() override;
    bool event(QEvent* event) override;
};

// Turns a check box into the label of a field, as the windows draw their field labels: a grey tick on a
// disabled panel, the caption in the ordinary text colour, read by a screen reader as a label.
void useAsFieldLabel(CheckBox* box);

// A check box drawn as a push button: pressed while ticked. Like a push button, Enter presses it.
class ButtonCheckBox : public CheckBox {
    Q_OBJECT
public:
    using CheckBox::CheckBox;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

}  // namespace tumblecast
