#pragma once

#include <QBasicTimer>
#include <QWidget>

#include <memory>

#include "windows/statistics/statistics_controls.h"

namespace tumblecast {

class Platform;
class RollShown;
namespace stats {
struct RollExpectation;
struct RolledReport;
}  // namespace stats

// The statistics of the roll the result box shows: what one repetition's total is expected to be, the
// chance to reach a typed total, and what the repetitions rolled against that, filled in as the background
// pass tallies them. Modeless; deletes itself when it closes.
class StatisticsWindow : public QWidget {
    Q_OBJECT
public:
    explicit StatisticsWindow(Platform& platform, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    struct BinChart;

    // Shows the statistics of shown, or nothing at all (the result box is empty).
    void follow(std::shared_ptr<const RollShown> shown);
    // Beside main where the screen has room, else as little over it as it can; always on the screen,
    // shrunk to fit it. Without main, in the middle of the screen.
    void placeBeside(const QWidget* main);

public slots:
    void Target_Change();
    void Copy_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void showExpected();
    void showReach();
    void showRolled();
    void showRolled(const stats::RolledReport& report);
    void clearRolled();
    const stats::RollExpectation* expectation() const;
    void setupCharts();

    StatisticsControls m_ui;
    Platform& m_platform;
    std::shared_ptr<const RollShown> m_shown;
    std::uint64_t m_shownRepetitions = ~0ull;  // the tallies last shown, to skip repainting the same
    bool m_shownFinished = false;
    QBasicTimer m_poll;
    std::unique_ptr<BinChart> m_totalsChart;
    std::unique_ptr<BinChart> m_facesChart;
};

}  // namespace tumblecast
