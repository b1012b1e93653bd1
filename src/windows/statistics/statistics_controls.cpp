// The statistics window's layout; nothing here reacts to anything.
#include "windows/statistics/statistics_controls.h"

#include <QChartView>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "windows/common/controls.h"
#include "windows/common/text_box.h"
#include "windows/statistics/report_table_model.h"

namespace tumblecast {

namespace {

// A figure reads as one label, "Mean: 10.500", so a screen reader says its name and its value together.
QLabel* makeFigure(QWidget* parent, const char* name)
{
    auto* label = named(new QLabel(parent), name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A view of a table of the report; its columns' heads come with the report.
QTableView* makeTable(QWidget* parent, const char* name, const QString& accessibleName,
                      ReportTableModel*& rows, const std::vector<stats::Cell>& heads)
{
    auto* table = named(new QTableView(parent), name);
    rows = new ReportTableModel(table);
    rows->show(stats::ReportTable{heads, {}});
    table->setModel(rows);
    table->setAccessibleName(accessibleName);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Tab leaves the table instead of walking its cells; the arrows walk them.
    table->setTabKeyNavigation(false);
    return table;
}

QChartView* makeChart(QWidget* parent, const char* name, const QString& accessibleName)
{
    auto* view = named(new QChartView(parent), name);
    view->setAccessibleName(accessibleName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(240, 160);
    view->setFocusPolicy(Qt::NoFocus);  // its figures are in the table beside it
    return view;
}

QGroupBox* makeGroup(QWidget* parent, const char* name, const QString& caption)
{
    auto* group = named(new QGroupBox(caption, parent), name);
    group->setAccessibleName(caption);
    return group;
}

}  // namespace

void StatisticsControls::setup(QWidget* window)
{
    window->setFont(dialogFont());
    window->setObjectName(QStringLiteral("Statistics"));
    window->setWindowTitle(QStringLiteral("Roll statistics"));
    window->setAccessibleName(QStringLiteral("Roll statistics"));

    Summary = makeFigure(window, "Summary");
    Summary->setWordWrap(true);
    QFont bold = Summary->font();
    bold.setBold(true);
    Summary->setFont(bold);
    Roll = named(new QLabel(window), "Roll");
    Roll->setWordWrap(true);

    auto* left = new QVBoxLayout;
    left->addWidget(setupExpected(), 1);
    left->addWidget(setupReach());
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addWidget(setupRolled(window), 3);

    Copy = named(new QPushButton(QStringLiteral("&Copy"), window), "Copy");
    Copy->setAccessibleName(QStringLiteral("Copy the tables"));
    Copy->setToolTip(QStringLiteral("Copy the tables as tab-separated text"));
    Close = named(new QPushButton(QStringLiteral("Close"), window), "Close");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Copy);
    buttons->addStretch(1);
    buttons->addWidget(Close);

    // Everything but the buttons scrolls, so that the window fits a small screen at any scale.
    auto* content = new QWidget;
    auto* inner = new QVBoxLayout(content);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(Summary);
    inner->addWidget(Roll);
    inner->addLayout(columns, 1);
    Scroll = named(new QScrollArea(window), "Scroll");
    Scroll->setWidget(content);
    Scroll->setWidgetResizable(true);
    Scroll->setFrameShape(QFrame::NoFrame);
    Scroll->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(Scroll, 1);
    layout->addLayout(buttons);
    window->resize(960, 640);
    window->setMinimumSize(240, 160);

    // Rows as tall as the window's own font needs, whatever the desktop's.
    for (QTableView* table : {ExpectedTable, TotalsTable, FacesTable}) {
        table->horizontalHeader()->setFont(window->font());
        table->verticalHeader()->setDefaultSectionSize(QFontMetrics(window->font()).height() + 4);
    }

    QWidget::setTabOrder(ExpectedTable, Target);
    QWidget::setTabOrder(Target, ShowDetails);
    QWidget::setTabOrder(ShowDetails, RolledTabs);
    QWidget::setTabOrder(RolledTabs, TotalsTable);
    QWidget::setTabOrder(TotalsTable, FacesTable);
    QWidget::setTabOrder(FacesTable, Copy);
    QWidget::setTabOrder(Copy, Close);
}

QWidget* StatisticsControls::setupExpected()
{
    Expected = makeGroup(nullptr, "Expected", QStringLiteral("Expected, one repetition's total"));
    Minimum = makeFigure(Expected, "Minimum");
    Maximum = makeFigure(Expected, "Maximum");
    Mean = makeFigure(Expected, "Mean");
    Deviation = makeFigure(Expected, "Deviation");
    Method = makeFigure(Expected, "Method");
    Method->setWordWrap(true);
    ExpectedTable = makeTable(Expected, "ExpectedTable", QStringLiteral("Expected chances"), ExpectedRows,
                              stats::expectedReport(nullptr).table.heads);
    // Ranges of eleven-digit totals and the chances beside them show whole; the table scrolls sideways
    // rather than cut a figure short.
    ExpectedTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ExpectedTable->horizontalHeader()->setStretchLastSection(true);
    auto* figures = new QGridLayout;
    figures->addWidget(Minimum, 0, 0);
    figures->addWidget(Maximum, 0, 1);
    figures->addWidget(Mean, 1, 0);
    figures->addWidget(Deviation, 1, 1);
    auto* layout = new QVBoxLayout(Expected);
    layout->addLayout(figures);
    layout->addWidget(Method);
    layout->addWidget(ExpectedTable, 1);
    return Expected;
}

QWidget* StatisticsControls::setupReach()
{
    Reach = makeGroup(nullptr, "Reach", QStringLiteral("Chance to reach"));
    Target = named(new TextBox(Reach), "Target");
    Target->setAccessibleName(QStringLiteral("Target total"));
    Target->setToolTip(QStringLiteral("Type a total to reach"));
    Target->setMaxLength(12);
    auto* caption = new QLabel(QStringLiteral("&Target total:"), Reach);
    caption->setBuddy(Target);
    ReachOne = makeFigure(Reach, "ReachOne");
    ReachAny = makeFigure(Reach, "ReachAny");
    auto* layout = new QFormLayout(Reach);
    layout->addRow(caption, Target);
    layout->addRow(ReachOne);
    layout->addRow(ReachAny);
    return Reach;
}

QWidget* StatisticsControls::setupRolled(QWidget* window)
{
    Rolled = makeGroup(window, "Rolled", QStringLiteral("Rolled"));
    Progress = named(new QProgressBar(Rolled), "Progress");
    Progress->setAccessibleName(QStringLiteral("Repetitions measured"));
    Progress->setRange(0, 1);
    ObservedMean = makeFigure(Rolled, "ObservedMean");
    ObservedDeviation = makeFigure(Rolled, "ObservedDeviation");
    Verdict = makeFigure(Rolled, "Verdict");
    Verdict->setWordWrap(true);
    QFont bold = Verdict->font();
    bold.setBold(true);
    Verdict->setFont(bold);
    // The tests' figures, for those who ask for them.
    ShowDetails = named(new QToolButton(Rolled), "ShowDetails");
    ShowDetails->setText(QStringLiteral("&Details"));
    ShowDetails->setCheckable(true);
    ShowDetails->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ShowDetails->setArrowType(Qt::RightArrow);
    ShowDetails->setAccessibleName(QStringLiteral("Details of the tests"));
    Details = named(new QWidget(Rolled), "Details");
    TotalsTest = makeFigure(Details, "TotalsTest");
    FacesTest = makeFigure(Details, "FacesTest");
    for (QLabel* test : {TotalsTest, FacesTest}) test->setWordWrap(true);
    auto* details = new QVBoxLayout(Details);
    details->setContentsMargins(0, 0, 0, 0);
    details->addWidget(TotalsTest);
    details->addWidget(FacesTest);
    Details->hide();
    QObject::connect(ShowDetails, &QToolButton::toggled, Details, [this](bool shown) {
        Details->setVisible(shown);
        ShowDetails->setArrowType(shown ? Qt::DownArrow : Qt::RightArrow);
    });

    RolledTabs = named(new QTabWidget(Rolled), "RolledTabs");
    RolledTabs->setAccessibleName(QStringLiteral("Rolled totals and faces"));
    auto* totals = new QWidget;
    TotalsChart =
        makeChart(totals, "TotalsChart", QStringLiteral("Chart of the totals rolled against the expected"));
    TotalsTable = makeTable(totals, "TotalsTable", QStringLiteral("Totals rolled"), TotalsRows,
                            stats::rolledReport(nullptr, nullptr).totals.heads);
    auto* faces = new QWidget;
    FacesChart =
        makeChart(faces, "FacesChart", QStringLiteral("Chart of the faces rolled against a fair die"));
    FacesTable = makeTable(faces, "FacesTable", QStringLiteral("Faces rolled"), FacesRows,
                           stats::rolledReport(nullptr, nullptr).faces.heads);
    // The rolled tables take the width their figures need; the chart takes the rest.
    for (QTableView* table : {TotalsTable, FacesTable}) {
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        table->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
    for (auto [page, chart, table] :
         {std::tuple{totals, TotalsChart, TotalsTable}, {faces, FacesChart, FacesTable}}) {
        auto* layout = new QHBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(chart, 1);
        layout->addWidget(table);
    }
    RolledTabs->addTab(totals, QStringLiteral("T&otals"));
    RolledTabs->addTab(faces, QStringLiteral("&Faces"));

    auto* figures = new QGridLayout;
    figures->addWidget(ObservedMean, 0, 0);
    figures->addWidget(ObservedDeviation, 0, 1);
    figures->addWidget(Verdict, 1, 0, 1, 2);
    figures->addWidget(ShowDetails, 2, 0, 1, 2, Qt::AlignLeft);
    figures->addWidget(Details, 3, 0, 1, 2);
    auto* layout = new QVBoxLayout(Rolled);
    layout->addWidget(Progress);
    layout->addLayout(figures);
    layout->addWidget(RolledTabs, 1);
    return Rolled;
}

}  // namespace tumblecast
