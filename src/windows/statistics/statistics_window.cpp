#include "windows/statistics/statistics_window.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
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

// A chart of counts per bin: a histogram of what was rolled, a line of what was expected. The histogram is
// one area, drawn as bars apart while there are few, else as one stepped outline: a chart of a hundred bar
// series' bars takes a few hundred milliseconds to lay out at every change, one area a few.
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

BinChart makeChart(QChartView* view)
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
    c.expected = new QLineSeries;
    c.chart->addSeries(c.rolled);
    c.chart->addSeries(c.expected);
    c.bins = new QValueAxis;
    c.bins->setLabelFormat(QStringLiteral("%.0f"));
    c.bins->setTickType(QValueAxis::TicksDynamic);
    c.counts = new QValueAxis;
    c.counts->setLabelFormat(QStringLiteral("%.0f"));
    c.counts->setTickType(QValueAxis::TicksDynamic);
    c.counts->setTickAnchor(0);
    c.counts->setMinorTickCount(0);
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

// Each change of an axis lays its ticks out at once: a wider step goes first, so that a wider range never
// meets a step meant for a narrower one.
void setTicks(QValueAxis* axis, double from, double to, double step)
{
    if (step >= axis->tickInterval()) axis->setTickInterval(step);
    axis->setRange(from, to);
    axis->setTickInterval(step);
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
    const double half = series.bars ? 0.4 : 0.5;
    for (int i = 0; i < n; ++i) {
        const auto count = static_cast<double>(series.counts[static_cast<std::size_t>(i)]);
        const double x = x0 + i;
        if (series.bars) steps << QPointF(x - half, 0);
        steps << QPointF(x - half, count) << QPointF(x + half, count);
        if (series.bars) steps << QPointF(x + half, 0);
        line << QPointF(x, series.expected[static_cast<std::size_t>(i)]);
    }
    if (newBins) {
        c.rolled->setName(qs(series.rolledName));
        c.expected->setName(qs(series.expectedName));
        c.bins->setTitleText(qs(series.binTitle));
        c.counts->setTitleText(qs(series.countTitle));
        c.bins->setTickAnchor(x0);
        setTicks(c.bins, x0 - 0.5, x0 + n - 0.5, series.binTick);
    }
    c.steps->replace(steps);
    c.expected->replace(line);
    setTicks(c.counts, 0, series.countTop, series.countTick);
}

// The chart in the window's colours and font: a dark theme gets a dark chart, not a white slab, and a large
// desktop font does not crowd its labels out.
void paintLike(BinChart& c, QChartView* view, const QPalette& palette, const QFont& font)
{
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    if (c.chart->theme() != (dark ? QChart::ChartThemeDark : QChart::ChartThemeLight))
        c.chart->setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
    QFont title = font;
    title.setBold(true);
    for (QValueAxis* axis : {c.bins, c.counts}) {
        axis->setLabelsFont(font);
        axis->setTitleFont(title);
    }
    c.chart->legend()->setFont(font);
    if (!dark) return;
    const QColor text = palette.color(QPalette::WindowText);
    c.chart->setBackgroundBrush(palette.color(QPalette::Window));
    c.chart->setPlotAreaBackgroundVisible(false);
    for (QValueAxis* axis : {c.bins, c.counts}) {
        axis->setLabelsColor(text);
        axis->setTitleBrush(text);
        axis->setGridLineColor(palette.color(QPalette::Mid));
    }
    c.chart->legend()->setLabelColor(text);
    view->setBackgroundBrush(palette.color(QPalette::Window));
}

}  // namespace

StatisticsWindow::StatisticsWindow(Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), m_platform(platform)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_ui.setup(this);
    // Digits only; the editing keys' control codes (Ctrl+A, Ctrl+C, Ctrl+V...) reach the field.
    m_ui.Target->setKeyPress([this](int code) {
        return (code < 32 && code != 8) || ValiText(code, kDigits, true, m_platform) != 0;
    });
    connect(m_ui.Target, &QLineEdit::textChanged, this, &StatisticsWindow::Target_Change);
    connect(m_ui.Copy, &QPushButton::clicked, this, &StatisticsWindow::Copy_Click);
    connect(m_ui.Close, &QPushButton::clicked, this, &QWidget::close);
    setupCharts();
    follow(nullptr);
    // Announced as the window it is, as the other windows are.
    exposeAs(this, QAccessible::Window);
    // Escape closes the window from any control, also from those that would keep the key for themselves.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    placeBeside(nullptr);
}

void StatisticsWindow::placeBeside(const QWidget* main)
{
    const QScreen* screen = main && main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // Inside the screen at any scale: what does not fit scrolls. Before it is first shown the window has no
    // frame yet: room is left for a usual one.
    const QMargins decoration = isVisible() ? QMargins(geometry().left() - frameGeometry().left(),
                                                       geometry().top() - frameGeometry().top(),
                                                       frameGeometry().right() - geometry().right(),
                                                       frameGeometry().bottom() - geometry().bottom())
                                            : QMargins(8, 32, 8, 8);
    const QSize extra(decoration.left() + decoration.right(), decoration.top() + decoration.bottom());
    resize(std::min(width(), area.width() * 19 / 20 - extra.width()),
           std::min(height(), area.height() * 9 / 10 - extra.height()));
    QRect place(QPoint(), size() + extra);
    place.moveCenter(area.center());
    if (main) {
        const QRect beside = main->frameGeometry();
        constexpr int kGap = 8;
        // Narrower where that keeps it beside the main window; what does not fit then scrolls.
        constexpr int kNarrowest = 400;
        const int right = area.right() - beside.right() - kGap;
        const int left = beside.left() - kGap - area.left();
        if (std::max(right, left) < place.width() && std::max(right, left) >= kNarrowest)
            place.setWidth(std::max(right, left));
        place.moveTop(beside.top());
        if (right >= place.width())
            place.moveLeft(beside.right() + kGap + 1);
        else if (left >= place.width())
            place.moveRight(beside.left() - kGap - 1);
        else
            place.moveRight(area.right());  // over as little of it as the screen allows
        resize(place.size() - extra);
    }
    place.moveLeft(
        std::clamp(place.left(), area.left(), std::max(area.left(), area.right() - place.width())));
    place.moveTop(std::clamp(place.top(), area.top(), std::max(area.top(), area.bottom() - place.height())));
    move(place.topLeft());  // where the frame goes
}

bool StatisticsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void StatisticsWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && m_totalsChart) {
        paintLike(*m_totalsChart, m_ui.TotalsChart, palette(), font());
        paintLike(*m_facesChart, m_ui.FacesChart, palette(), font());
    }
    QWidget::changeEvent(event);
}

StatisticsWindow::~StatisticsWindow() = default;

void StatisticsWindow::setupCharts()
{
    m_totalsChart = std::make_unique<BinChart>(makeChart(m_ui.TotalsChart));
    m_facesChart = std::make_unique<BinChart>(makeChart(m_ui.FacesChart));
    paintLike(*m_totalsChart, m_ui.TotalsChart, palette(), font());
    paintLike(*m_facesChart, m_ui.FacesChart, palette(), font());
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
    m_ui.ReachOne->setToolTip(qs(report.one.value.exact));
    m_ui.ReachAny->setText(qs(report.any.shown()));
    m_ui.ReachAny->setToolTip(qs(report.any.value.exact));
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
    m_ui.Summary->setText(qs(report.summary));
    m_ui.Summary->setVisible(!report.summary.empty());
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
        if (newRows) {
            // As wide as its columns, as tall as the page lets it: its height is not its rows'.
            view->resizeColumnsToContents();
            view->setFixedWidth(view->horizontalHeader()->length() +
                                view->verticalScrollBar()->sizeHint().width() + 2 * view->frameWidth());
        }
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
