#include "windows/common/click_events.h"

#include <QMouseEvent>
#include <QWidget>

#include <utility>

namespace tumblecast {

ClickEvents::ClickEvents(QWidget* target, Mouse mouse) : QObject(target), m_mouse(mouse)
{
    target->installEventFilter(this);
}

bool ClickEvents::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
        switch (type) {
            case QEvent::MouseButtonPress:
                m_pressed = true;
                break;
            case QEvent::MouseButtonDblClick:
                m_pressed = false;
                emit dblClick();
                break;
            default:
                if (std::exchange(m_pressed, false) &&
                    static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint()))
                    emit click();
                break;
        }
    }
    return m_mouse == Mouse::Take;
}

}  // namespace tumblecast
