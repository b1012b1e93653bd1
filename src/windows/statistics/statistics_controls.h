#pragma once

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTableView;
class QTabWidget;
class QToolButton;
class QWidget;

class QChart;
class QChartView;

namespace tumblecast {

class ReportTableModel;
class TextBox;

// The statistics window's controls in their empty state: built, named and laid out, with no behaviour.
struct StatisticsControls {
    QScrollArea* Scroll = nullptr;  // all but the buttons
    QLabel* Summary = nullptr;      // one line: the roll, its average against the expected, the verdict
    QLabel* Roll = nullptr;         // dice, sides, modifiers, repetitions

    // What one repetition's grand total is expected to be
    QGroupBox* Expected = nullptr;
    QLabel* Minimum = nullptr;
    QLabel* Maximum = nullptr;
    QLabel* Mean = nullptr;
    QLabel* Deviation = nullptr;
    QLabel* Method = nullptr;  // exact, or which approximation and how far off
    QTableView* ExpectedTable = nullptr;
    ReportTableModel* ExpectedRows = nullptr;

    // The chance that a repetition reaches a typed total
    QGroupBox* Reach = nullptr;
    TextBox* Target = nullptr;
    QLabel* ReachOne = nullptr;
    QLabel* ReachAny = nullptr;

    // What the repetitions rolled, filled by the background pass
    QGroupBox* Rolled = nullptr;
    QProgressBar* Progress = nullptr;
    QLabel* ObservedMean = nullptr;
    QLabel* ObservedDeviation = nullptr;
    QLabel* Verdict = nullptr;
    QToolButton* ShowDetails = nullptr;  // shows or hides Details
    QWidget* Details = nullptr;
    QLabel* TotalsTest = nullptr;
    QLabel* FacesTest = nullptr;
    QTabWidget* RolledTabs = nullptr;
    QChartView* TotalsChart = nullptr;
    QTableView* TotalsTable = nullptr;
    ReportTableModel* TotalsRows = nullptr;
    QChartView* FacesChart = nullptr;
    QTableView* FacesTable = nullptr;
    ReportTableModel* FacesRows = nullptr;

    QPushButton* Copy = nullptr;
    QPushButton* Close = nullptr;

    void setup(QWidget* window);

private:
    QWidget* setupExpected();
    QWidget* setupReach();
    QWidget* setupRolled(QWidget* window);
};

}  // namespace tumblecast
