// The main window's way into the statistics of its roll, and the background pass over the roll shown.
#include <QAction>
#include <QShortcut>

#include "engine/roll_record.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"
#include "windows/statistics/roll_pass.h"
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

// Every Generate shows a new record and every Clear empties the box: the pass over the old one stops,
// and a new record gets a pass of its own. What it measures goes to the record on this thread, once it is
// done and only if that record is still the one shown.
void Form1::followRecord()
{
    const auto* record = dynamic_cast<const RollRecord*>(&Text1->source());
    if (!m_pass && !record) return;
    if (m_pass) m_pass->cancel();
    m_pass.reset();
    if (record) {
        const auto measured = [this] {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (const auto* shown = dynamic_cast<const RollRecord*>(&Text1->source());
                        shown && m_pass)
                        m_pass->measureInto(*shown);
                },
                Qt::QueuedConnection);
        };
        m_pass = std::make_shared<RollPass>(*record, measured);
    }
    if (m_statistics) m_statistics->follow(m_pass);
}

// One statistics window at most, modeless; asking again brings it to the front.
void Form1::openStatistics()
{
    if (Text1->isEmpty() || !m_pass) return;
    if (!m_statistics) {
        m_statistics = new StatisticsWindow(m_platform);
        m_statistics->follow(m_pass);
    }
    m_statistics->show();
    m_statistics->raise();
    m_statistics->activateWindow();
}

}  // namespace tumblecast
