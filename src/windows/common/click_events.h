#pragma once

#include <QObject>

class QWidget;

namespace tumblecast {

// Click and double click of a widget that has no such signals (a label). A click is a left press and
// release over the widget; the second press of a double click is a double click, not another click.
class ClickEvents : public QObject {
    Q_OBJECT
public:
    // Watches target, which owns it.
    explicit ClickEvents(QWidget* target);

signals:
    void click();
    void dblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_pressed = false;
};

}  // namespace tumblecast
