#pragma once

#include <QObject>

class QWidget;

namespace tumblecast {

// Click and double click of a widget that has no such signals (a label, a panel). A click is a left press
// and release over the widget; the second press of a double click is a double click, not another click.
class ClickEvents : public QObject {
    Q_OBJECT
public:
    // Whether the target's mouse presses go on to its parent. A label passes them on; nested panels take
    // them, since a disabled panel passes its own on and the panel around it would see the same click.
    enum class Mouse { PassOn, Take };

    // Watches target, which owns it.
    explicit ClickEvents(QWidget* target, Mouse mouse = Mouse::PassOn);

signals:
    void click();
    void dblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Mouse m_mouse;
    bool m_pressed = false;
};

}  // namespace tumblecast
