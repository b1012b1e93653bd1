// The main window's way into dice notation: the Roll notation window, and its rolls shown in the result box.
#include <QAction>
#include <QScreen>
#include <QShortcut>

#include <algorithm>
#include <new>

#include "engine/messages.h"
#include "notation_record/notation_roll.h"
#include "platform/platform.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"
#include "windows/notation/notation_window.h"

namespace tumblecast {

void Form1::wireNotation()
{
    // A shortcut of the window, not of a field: no access key or tab stop of the window changes.
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(shortcut, &QShortcut::activated, this, &Form1::openNotation);
    auto* action = new QAction(QStringLiteral("Roll notation...\tCtrl+R"), this);
    connect(action, &QAction::triggered, this, &Form1::openNotation);
    Text1->addRecordAction(action, false);
}

// One window at most, modeless; asking again brings it to the front.
void Form1::openNotation()
{
    const bool opening = !m_notation;
    if (opening) {
        m_notation =
            new NotationWindow(m_platform, [this](const notation::Expression& e) { return rollNotation(e); });
        connect(m_notation, &NotationWindow::statisticsRequested, this, &Form1::openStatistics);
        // Escape leaves the keyboard where it came from.
        connect(m_notation, &QDialog::finished, this, [this] { activateWindow(); });
    }
    m_notation->show();
    if (opening) {
        // Beside the main window, or below it, so that the box stays in sight. Placed once shown: a dialog
        // centres itself as it first shows.
        const QRect frame = frameGeometry();
        const QRect screen = this->screen()->availableGeometry();
        const QSize size = m_notation->frameGeometry().size();
        QPoint at(frame.right() + 1, frame.top());
        if (at.x() + size.width() > screen.right()) at = QPoint(frame.left(), frame.bottom() + 1);
        at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() - size.width())));
        at.setY(std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() - size.height())));
        m_notation->move(at);
    }
    m_notation->raise();
    m_notation->activateWindow();
}

// A notation roll takes the next values of the window's one sequence, as Generate does, and becomes the
// roll shown, which the statistics window follows. Rendered from the dice as the box shows it, so the
// largest roll is there at once.
bool Form1::rollNotation(const notation::Expression& expression)
{
    try {
        showRoll(NotationRoll::roll(expression, m_dice, m_nextDie));
        return true;
    } catch (const std::bad_alloc&) {
        fail(kOutOfMemory);
    } catch (const std::exception& failure) {
        fail(failure.what());
    }
    return false;
}

}  // namespace tumblecast
