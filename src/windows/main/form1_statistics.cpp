// The main window's way into the statistics of its roll, and the roll it shows.
#include <QAction>
#include <QShortcut>

#include "roll/roll_shown.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"
#include "windows/statistics/statistics_window.h"

namespace tumblecast {

void Form1::wireStatistics()
{
    // A shortcut of the window, not of a field: no access key or tab stop of the window changes.
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), this);
    connect(shortcut, &QShortcut::activated, this, &Form1::openStatistics);
    auto* action = new QAction(QStringLiteral("Statistics...\tCtrl+I"), this);
    connect(action, &QAction::triggered, this, &Form1::openStatistics);
    Text1->addRecordAction(action);
    connect(Text1, &ResultBox::changed, this, &Form1::followRecord);
}

// Every Generate shows a new roll, with a background pass of its own; what that pass measures goes to the
// record on this thread once it is done, if that roll is still the one shown.
void Form1::showRoll(std::unique_ptr<RollKind> kind)
{
    const auto adopt = [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_shown) m_shown->adoptPass();
            },
            Qt::QueuedConnection);
    };
    m_shown = std::make_shared<RollShown>(std::move(kind), adopt);
    Text1->showText(std::shared_ptr<const TextSource>(m_shown, &m_shown->text()));
}

// Every Clear empties the box: the roll shown goes, and its pass stops.
void Form1::followRecord()
{
    if (Text1->isEmpty()) {
        if (!m_shown) return;
        m_shown.reset();
    }
    if (m_statistics) m_statistics->follow(m_shown);
}

// One statistics window at most, modeless; asking again brings it to the front.
void Form1::openStatistics()
{
    if (!m_shown) return;
    if (!m_statistics) {
        m_statistics = new StatisticsWindow(m_platform);
        m_statistics->follow(m_shown);
        m_statistics->placeBeside(this);
    }
    m_statistics->show();
    m_statistics->raise();
    m_statistics->activateWindow();
}

}  // namespace tumblecast
