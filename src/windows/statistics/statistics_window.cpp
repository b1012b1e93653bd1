#include "windows/statistics/statistics_window.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimerEvent>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/roll_request.h"
#include "platform/platform.h"
#include "stats/fairness.h"
#include "stats/stats_text.h"
#include "windows/common/accessibility.h"
#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/common/vali_text.h"
#include "windows/statistics/roll_pass.h"

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

QString range(std::int64_t low, std::int64_t high)
{
    return low == high ? QString::number(low) : QStringLiteral("%1-%2").arg(low).arg(high);
}

void setRow(QTableWidget* table, int row, const QStringList& cells)
{
    for (int column = 0; column < cells.size(); ++column) {
        QTableWidgetItem* item = table->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                               : Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
        if (item->text() != cells[column]) item->setText(cells[column]);
    }
}

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

// Bins, what fell in each, and how many were expected there of that many. Single values stand at their
// value on the axis; ranges (equally likely, so alike in height) stand at their number, and the table
// beside the chart says what each holds.
void fill(BinChart& c, QTableWidget* table, const QString& binTitle, const QStringList& labels,
          std::int64_t firstValue, bool single, const std::vector<std::uint64_t>& counts,
          const std::vector<double>& chances, double of)
{
    const auto n = static_cast<int>(labels.size());
    const double x0 = single ? static_cast<double>(firstValue) : 1.0;
    QList<QPointF> steps;
    QList<QPointF> line;
    double top = 1;
    const bool newRows = table->rowCount() != n;
    table->setRowCount(n);
    for (int i = 0; i < n; ++i) {
        const auto count = static_cast<double>(counts[static_cast<std::size_t>(i)]);
        const double expected = chances[static_cast<std::size_t>(i)] * of;
        steps << QPointF(x0 + i - 0.5, count) << QPointF(x0 + i + 0.5, count);
        line << QPointF(x0 + i, expected);
        top = std::max({top, count, expected});
        setRow(table, i,
               {labels[i], QString::number(counts[static_cast<std::size_t>(i)]),
                qs(stats::formatFixed(expected, 2))});
    }
    // Sized to their figures once per roll: sizing at every change of a cell costs more than the rest.
    if (newRows) {
        table->resizeColumnsToContents();
        c.bins->setTitleText(single ? binTitle
                                    : binTitle + QStringLiteral(" range, numbered as in the table"));
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

void StatisticsWindow::follow(std::shared_ptr<RollPass> pass)
{
    m_pass = std::move(pass);
    m_shownRepetitions = ~0ull;
    m_shownFinished = false;
    m_ui.Copy->setEnabled(m_pass != nullptr);
    showExpected();
    showReach();
    clearRolled();
    showRolled();
}

void StatisticsWindow::showExpected()
{
    QTableWidget* table = m_ui.ExpectedTable;
    if (!m_pass) {
        m_ui.Roll->setText(QStringLiteral("No roll: the result box is empty."));
        for (QLabel* label : {m_ui.Minimum, m_ui.Maximum, m_ui.Mean, m_ui.Deviation, m_ui.Method})
            label->clear();
        table->setRowCount(0);
        return;
    }
    const RollExpectation& e = m_pass->expectation();
    const stats::RollShape& s = e.shape;
    m_ui.Roll->setText(QStringLiteral("Roll: %1 dice of %2 sides, per-die modifier %3, total modifier %4, %5 "
                                      "repetitions.")
                           .arg(s.dice)
                           .arg(s.sides)
                           .arg(s.perDieModify)
                           .arg(s.totalModify)
                           .arg(s.times));
    const stats::TotalDistribution& d = e.distribution;
    m_ui.Minimum->setText(QStringLiteral("Minimum: %1").arg(d.minimum()));
    m_ui.Maximum->setText(QStringLiteral("Maximum: %1").arg(d.maximum()));
    m_ui.Mean->setText(QStringLiteral("Mean: ") + qs(stats::formatFixed(d.mean(), 3)));
    m_ui.Deviation->setText(QStringLiteral("Standard deviation: ") +
                            qs(stats::formatFixed(d.standardDeviation(), 3)));
    m_ui.Method->setText(QStringLiteral("Chances: ") + qs(stats::methodText(d)));

    const std::vector<stats::ExpectedRow> rows = stats::expectedRows(d);
    const bool single = std::all_of(rows.begin(), rows.end(), [](const auto& r) { return r.low == r.high; });
    table->setHorizontalHeaderLabels({single ? QStringLiteral("Total") : QStringLiteral("Totals"),
                                      single ? QStringLiteral("P(=)") : QStringLiteral("P(in row)"),
                                      QStringLiteral("P(>=)"), QStringLiteral("P(<=)")});
    table->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const stats::ExpectedRow& r = rows[i];
        setRow(table, static_cast<int>(i),
               {range(r.low, r.high), qs(stats::formatPercent(r.inRow)), qs(stats::formatPercent(r.atLeast)),
                qs(stats::formatPercent(r.atMost))});
    }
}

// The target as a total: nothing while it is empty or not a number (pasted text). Totals run to eleven
// digits, beyond what the roll fields read; a number past every total stays past them.
static std::optional<std::int64_t> targetOf(const QString& text)
{
    constexpr auto kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max() / 10);
    const std::optional<std::uint64_t> value = readDigits(text.toStdString(), kLimit);
    if (!value) return std::nullopt;
    return static_cast<std::int64_t>(*value);
}

void StatisticsWindow::showReach()
{
    const QString text = m_ui.Target->text();
    const std::optional<std::int64_t> target = targetOf(text);
    if (!m_pass || !target) {
        m_ui.ReachOne->setText(text.isEmpty() || !m_pass
                                   ? QStringLiteral("Type a total to see the chance of reaching it.")
                                   : QStringLiteral("Not a whole number: type digits only."));
        m_ui.ReachAny->clear();
        return;
    }
    const stats::TotalDistribution& d = m_pass->expectation().distribution;
    m_ui.ReachOne->setText(QStringLiteral("One repetition reaches it: ") +
                           qs(stats::formatPercent(d.atLeast(*target))));
    m_ui.ReachAny->setText(
        QStringLiteral("At least one of %1 repetitions reaches it: ").arg(d.shape().times) +
        qs(stats::formatPercent(d.anyReaches(*target))));
}

void StatisticsWindow::Target_Change() { showReach(); }

void StatisticsWindow::clearRolled()
{
    for (QLabel* label :
         {m_ui.ObservedMean, m_ui.ObservedDeviation, m_ui.TotalsTest, m_ui.FacesTest, m_ui.Verdict})
        label->clear();
    m_ui.Progress->setRange(0, 1);
    m_ui.Progress->setValue(0);
    for (auto [chart, table] :
         {std::pair{m_totalsChart.get(), m_ui.TotalsTable}, {m_facesChart.get(), m_ui.FacesTable}}) {
        table->setRowCount(0);
        chart->steps->clear();
        chart->expected->clear();
    }
}

void StatisticsWindow::showRolled()
{
    if (!m_pass) {
        m_poll.stop();
        return;
    }
    const RolledSoFar rolled = m_pass->snapshot();
    if (rolled.finished)
        m_poll.stop();
    else if (!m_poll.isActive())
        m_poll.start(kPollMs, this);
    if (rolled.repetitions == m_shownRepetitions && rolled.finished == m_shownFinished) return;
    m_shownRepetitions = rolled.repetitions;
    m_shownFinished = rolled.finished;

    const RollExpectation& e = m_pass->expectation();
    const std::uint64_t times = m_pass->request().times;
    // The bar's range is an int; repetitions stay below 10^4, but a roll could be given more.
    const int scale = times > 1'000'000 ? 1'000'000 : static_cast<int>(times);
    m_ui.Progress->setRange(0, scale);
    m_ui.Progress->setValue(static_cast<int>(rolled.repetitions * static_cast<std::uint64_t>(scale) / times));

    const bool any = rolled.repetitions > 0;
    m_ui.ObservedMean->setText(QStringLiteral("Rolled mean: ") +
                               (any ? qs(stats::formatFixed(rolled.totals.mean(), 3)) : QString()));
    m_ui.ObservedDeviation->setText(
        QStringLiteral("Rolled standard deviation: ") +
        (any ? qs(stats::formatFixed(rolled.totals.standardDeviation(), 3)) : QString()));

    QStringList totalLabels;
    for (std::size_t i = 0; i < e.totalBins.size(); ++i)
        totalLabels << range(e.totalBins.low(i), e.totalBins.high(i));
    fill(*m_totalsChart, m_ui.TotalsTable, QStringLiteral("Total"), totalLabels, e.totalBins.low(0),
         e.totalBins.size() ==
             static_cast<std::size_t>(e.totalBins.high(e.totalBins.size() - 1) - e.totalBins.low(0) + 1),
         rolled.totals.counts(), e.totalBins.chances(), static_cast<double>(rolled.repetitions));
    QStringList faceLabels;
    for (std::size_t i = 0; i < e.faceBins.size(); ++i)
        faceLabels << range(static_cast<std::int64_t>(e.faceBins.low(i)),
                            static_cast<std::int64_t>(e.faceBins.high(i)));
    fill(*m_facesChart, m_ui.FacesTable, QStringLiteral("Face"), faceLabels, 1,
         e.faceBins.size() == e.faceBins.sides(), rolled.faces.counts(), e.faceBins.chances(),
         static_cast<double>(rolled.faces.count()));

    if (!rolled.finished) {
        const QString waiting =
            QStringLiteral("measuring, %1 of %2 repetitions").arg(rolled.repetitions).arg(times);
        m_ui.TotalsTest->setText(QStringLiteral("Test of the totals: ") + waiting);
        m_ui.FacesTest->setText(QStringLiteral("Test of the faces: ") + waiting);
        m_ui.Verdict->setText(QStringLiteral("Verdict: when every repetition is measured."));
        return;
    }
    const stats::Fairness fairness =
        stats::judgeFairness(e.totalBins, rolled.totals, e.faceBins, rolled.faces);
    const auto testText = [](const stats::ChiSquareResult& test) {
        if (!test.tested()) return QStringLiteral("too few to test");
        return QStringLiteral("chi-square %1, %2 degrees of freedom, p %3")
            .arg(qs(stats::formatFixed(test.statistic, 3)))
            .arg(test.degreesOfFreedom)
            .arg(test.pValue < 0.00005 ? qs(stats::formatPValue(test.pValue))
                                       : QStringLiteral("= ") + qs(stats::formatPValue(test.pValue)));
    };
    m_ui.TotalsTest->setText(QStringLiteral("Test of the totals: ") + testText(fairness.totals));
    m_ui.FacesTest->setText(QStringLiteral("Test of the faces: ") + testText(fairness.faces));
    m_ui.Verdict->setText(QStringLiteral("Verdict: ") + qs(stats::verdictText(fairness)));
}

void StatisticsWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_poll.timerId())
        showRolled();
    else
        QWidget::timerEvent(event);
}

// Every table as tab-separated lines, a blank line between them, ready for a spreadsheet.
void StatisticsWindow::Copy_Click()
{
    if (!m_pass) return;
    const RollExpectation& e = m_pass->expectation();
    std::string text = stats::rollText(e.shape);
    text += '\n' + stats::expectedText(e.distribution, stats::expectedRows(e.distribution));
    if (const auto target = targetOf(m_ui.Target->text()))
        text += '\n' + stats::reachText(e.distribution, *target);
    const RolledSoFar rolled = m_pass->snapshot();
    if (rolled.finished)
        text += '\n' +
                stats::rolledText(e.totalBins, rolled.totals, e.faceBins, rolled.faces,
                                  stats::judgeFairness(e.totalBins, rolled.totals, e.faceBins, rolled.faces));
    else
        text += "\nRolled\tmeasuring, " + std::to_string(rolled.repetitions) + " of " +
                std::to_string(m_pass->request().times) + " repetitions\n";
    m_platform.setClipboardText(qs(text));
}

void StatisticsWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

}  // namespace tumblecast
