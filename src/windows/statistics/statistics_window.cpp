#include "windows/statistics/statistics_window.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimerEvent>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/platform.h"
#include "roll/roll_shown.h"
#include "stats/roll_report.h"
#include "windows/common/accessibility.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/common/vali_text.h"
#include "windows/statistics/report_table_model.h"

namespace tumblecast {

// A chart of counts per bin: a histogram of what was rolled, a line of what was expected. Drawn as one
// stepped area rather than as bars: a chart of a hundred bars takes a few hundred milliseconds to lay out at
// every change, one area a few.
struct StatisticsWindow::BinChart {
    QChart* chart = nullptr;
    QLineSeries* steps = nullptr;  // the histogram's outline
    QAreaSeries* rolled = nullptr;
    QLineSeries* expected = nullptr;
    QValueAxis* bins = nullptr;
    QValueAxis* counts = nullptr;
};

namespace {

using BinChart = StatisticsWindow::BinChart;

constexpr int kPollMs = 100;

QString qs(const std::string& text) { return QString::fromStdString(text); }

BinChart makeChart(QChartView* view, const QString& countTitle)
{
    BinChart c;
    c.chart = new QChart;
    c.chart->setAnimationOptions(QChart::NoAnimation);
    c.chart->legend()->setAlignment(Qt::AlignBottom);
    c.chart->setMargins(QMargins(2, 2, 2, 2));
    // An area does not own its outline: the outline is made its child.
    c.rolled = new QAreaSeries;
    c.steps = new QLineSeries(c.rolled);
    c.rolled->setUpperSeries(c.steps);
    c.rolled->setName(QStringLiteral("Rolled"));
    c.expected = new QLineSeries;
    c.expected->setName(QStringLiteral("Expected"));
    c.chart->addSeries(c.rolled);
    c.chart->addSeries(c.expected);
    c.bins = new QValueAxis;
    c.bins->setLabelFormat(QStringLiteral("%.0f"));
    c.bins->setTickType(QValueAxis::TicksDynamic);
    c.counts = new QValueAxis;
    c.counts->setTitleText(countTitle);
    c.counts->setLabelFormat(QStringLiteral("%.0f"));
    c.chart->addAxis(c.bins, Qt::AlignBottom);
    c.chart->addAxis(c.counts, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(c.rolled), static_cast<QAbstractSeries*>(c.expected)}) {
        series->attachAxis(c.bins);
        series->attachAxis(c.counts);
    }
    // The view came with a chart of its own, which it lets go of but does not delete.
    QChart* const first = view->chart();
    view->setChart(c.chart);
    delete first;
    return c;
}

// The bins of series against the chart: a histogram of what was rolled, a line of what was expected.
// Ranges (equally likely, so alike in height) stand at their number, and the table beside the chart says
// what each holds.
void fill(BinChart& c, const stats::BinSeries& series, bool newBins)
{
    const auto n = static_cast<int>(series.counts.size());
    const double x0 = series.single ? static_cast<double>(series.firstValue) : 1.0;
    QList<QPointF> steps;
    QList<QPointF> line;
    double top = 1;
    for (int i = 0; i < n; ++i) {
        const auto count = static_cast<double>(series.counts[static_cast<std::size_t>(i)]);
        const double expected = series.expected[static_cast<std::size_t>(i)];
        steps << QPointF(x0 + i - 0.5, count) << QPointF(x0 + i + 0.5, count);
        line << QPointF(x0 + i, expected);
        top = std::max({top, count, expected});
    }
    if (newBins) {
        c.bins->setTitleText(qs(series.axisTitle));
        c.bins->setRange(x0 - 0.5, x0 + n - 0.5);
        c.bins->setTickAnchor(x0);
        c.bins->setTickInterval(std::max(1.0, std::ceil(n / 8.0)));
    }
    c.steps->replace(steps);
    c.expected->replace(line);
    // At least 0 to 8, so that a few counts still get whole ticks.
    c.counts->setRange(0, std::max(8.0, top * 1.1));
    c.counts->applyNiceNumbers();
}

}  // namespace

StatisticsWindow::StatisticsWindow(Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), m_platform(platform)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_ui.setup(this);
    m_ui.Target->setKeyPress([this](int code) { return ValiText(code, kDigits, true, m_platform) != 0; });
    connect(m_ui.Target, &QLineEdit::textChanged, this, &StatisticsWindow::Target_Change);
    connect(m_ui.Copy, &QPushButton::clicked, this, &StatisticsWindow::Copy_Click);
    connect(m_ui.Close, &QPushButton::clicked, this, &QWidget::close);
    setupCharts();
    follow(nullptr);
    // Announced as the window it is, as the other windows are.
    exposeAs(this, QAccessible::Window);
    centreOnScreen(this);
}

StatisticsWindow::~StatisticsWindow() = default;

void StatisticsWindow::setupCharts()
{
    m_totalsChart = std::make_unique<BinChart>(makeChart(m_ui.TotalsChart, QStringLiteral("Repetitions")));
    m_facesChart = std::make_unique<BinChart>(makeChart(m_ui.FacesChart, QStringLiteral("Dice")));
}

void StatisticsWindow::follow(std::shared_ptr<const RollShown> shown)
{
    m_shown = std::move(shown);
    m_shownRepetitions = ~0ull;
    m_shownFinished = false;
    m_ui.Copy->setEnabled(m_shown != nullptr);
    showExpected();
    showReach();
    clearRolled();
    showRolled();
}

const stats::RollExpectation* StatisticsWindow::expectation() const
{
    return m_shown ? &m_shown->expectation() : nullptr;
}

void StatisticsWindow::showExpected()
{
    const stats::ExpectedReport report = stats::expectedReport(expectation());
    m_ui.Roll->setText(qs(report.roll));
    QLabel* const labels[] = {m_ui.Minimum, m_ui.Maximum, m_ui.Mean, m_ui.Deviation, m_ui.Method};
    for (std::size_t i = 0; i < std::size(labels); ++i) labels[i]->setText(qs(report.figures[i].shown()));
    m_ui.ExpectedRows->show(report.table);
}

void StatisticsWindow::showReach()
{
    const stats::ReachReport report = stats::reachReport(expectation(), m_ui.Target->text().toStdString());
    m_ui.ReachOne->setText(qs(report.prompt.empty() ? report.one.shown() : report.prompt));
    m_ui.ReachAny->setText(qs(report.any.shown()));
}

void StatisticsWindow::Target_Change() { showReach(); }

void StatisticsWindow::clearRolled()
{
    showRolled(stats::rolledReport(nullptr, nullptr));
    m_ui.Progress->setRange(0, 1);
    m_ui.Progress->setValue(0);
    for (BinChart* chart : {m_totalsChart.get(), m_facesChart.get()}) {
        chart->steps->clear();
        chart->expected->clear();
    }
}

void StatisticsWindow::showRolled()
{
    if (!m_shown) {
        m_poll.stop();
        return;
    }
    const stats::RolledSoFar rolled = m_shown->rolled();
    if (rolled.finished)
        m_poll.stop();
    else if (!m_poll.isActive())
        m_poll.start(kPollMs, this);
    if (rolled.repetitions == m_shownRepetitions && rolled.finished == m_shownFinished) return;
    m_shownRepetitions = rolled.repetitions;
    m_shownFinished = rolled.finished;

    const stats::RolledReport report = stats::rolledReport(expectation(), &rolled);
    // The bar's range is an int; repetitions stay below 10^4, but a roll could be given more.
    const int scale = report.of > 1'000'000 ? 1'000'000 : static_cast<int>(report.of);
    m_ui.Progress->setRange(0, scale);
    m_ui.Progress->setValue(static_cast<int>(report.done * static_cast<std::uint64_t>(scale) / report.of));
    showRolled(report);
}

void StatisticsWindow::showRolled(const stats::RolledReport& report)
{
    m_ui.ObservedMean->setText(qs(report.mean.shown()));
    m_ui.ObservedDeviation->setText(qs(report.deviation.shown()));
    m_ui.TotalsTest->setText(qs(report.totalsTest.stated.shown()));
    m_ui.FacesTest->setText(qs(report.facesTest.stated.shown()));
    m_ui.Verdict->setText(qs(report.verdict.shown()));
    // Sized to their figures once per roll: sizing at every change of a cell costs more than the rest.
    for (auto [view, rows, chart, table, series] :
         {std::tuple{m_ui.TotalsTable, m_ui.TotalsRows, m_totalsChart.get(), &report.totals,
                     &report.totalsChart},
          {m_ui.FacesTable, m_ui.FacesRows, m_facesChart.get(), &report.faces, &report.facesChart}}) {
        const bool newRows = rows->show(*table);
        if (newRows) view->resizeColumnsToContents();
        if (!series->counts.empty()) fill(*chart, *series, newRows);
    }
}

void StatisticsWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_poll.timerId())
        showRolled();
    else
        QWidget::timerEvent(event);
}

void StatisticsWindow::Copy_Click()
{
    if (!m_shown) return;
    const stats::RollReport report =
        stats::rollReport(m_shown->expectation(), m_ui.Target->text().toStdString(), m_shown->rolled());
    m_platform.setClipboardText(qs(report.copyText()));
}

void StatisticsWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

}  // namespace tumblecast
