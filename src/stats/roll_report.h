#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "stats/fairness.h"
#include "stats/tallies.h"
#include "stats/total_distribution.h"

namespace tumblecast::stats {

// What one repetition of a roll is expected to give, and the bins its dice are tallied in. Built once per
// roll by its kind, then only read, by the window and by every worker of the pass.
struct RollExpectation {
    RollExpectation(std::string name, std::string summary,
                    std::vector<std::pair<std::string, std::string>> facts, TotalDistribution distribution);

    std::string name;                                        // as a player writes it: "3D6"
    std::string summary;                                     // a sentence naming the roll
    std::vector<std::pair<std::string, std::string>> facts;  // the same, one fact a line
    TotalDistribution distribution;
    TotalBins totalBins;
    FaceBins faceBins;

    std::uint64_t repetitions() const { return distribution.shape().times; }
};

// The expectation of a Generate roll.
RollExpectation expectationOf(const RollShape& shape);

// What a pass over a roll's dice has tallied so far.
struct RolledSoFar {
    std::uint64_t repetitions = 0;
    TotalTally totals;
    FaceTally faces;
    bool finished = false;  // every repetition is in
};
RolledSoFar nothingRolled(const RollExpectation& expectation);

// A named figure: shown as "name: value", copied as "name<TAB>value".
struct Figure {
    std::string name;
    std::string value;
    std::string shown() const { return value.empty() && name.empty() ? std::string() : name + ": " + value; }
};

// A table: its heads and its rows of cells, the first column a label, the others figures.
struct ReportTable {
    std::vector<std::string> heads;
    std::vector<std::vector<std::string>> rows;
    bool operator==(const ReportTable&) const = default;
};

// Counts per bin against what was expected there, for a chart. Bins of single values stand at their
// value on the axis; ranges stand at their number.
struct BinSeries {
    std::string axisTitle;
    bool single = true;
    std::int64_t firstValue = 1;
    std::vector<std::uint64_t> counts;
    std::vector<double> expected;
};

// The expected side: what one repetition's total is expected to be.
struct ExpectedReport {
    std::string roll;             // "Roll: ..." or that there is none
    std::vector<Figure> figures;  // minimum, maximum, mean, standard deviation, how the chances were found
    ReportTable table;
};

// The chance to reach a typed total.
struct ReachReport {
    std::optional<std::int64_t> target;  // none: the text is empty or not a whole number
    std::string prompt;                  // while there is no target
    Figure one;
    Figure any;
};

// One chi-square test as the window states it and as Copy lists it.
struct TestReport {
    std::string name;  // "totals", "faces"
    Figure stated;
    std::vector<Figure> cells;  // statistic, degrees of freedom, p-value; or why there was no test
};

// The rolled side: what the pass has tallied, against what was expected.
struct RolledReport {
    std::uint64_t done = 0;
    std::uint64_t of = 0;
    bool finished = false;
    Figure mean;
    Figure deviation;
    TestReport totalsTest;
    TestReport facesTest;
    Figure verdict;
    ReportTable totals;
    ReportTable faces;
    BinSeries totalsChart;
    BinSeries facesChart;
};

ExpectedReport expectedReport(const RollExpectation* expectation);
// target: the text typed, read as digits only.
ReachReport reachReport(const RollExpectation* expectation, std::string_view target);
// Without a roll: nothing but the tables' heads.
RolledReport rolledReport(const RollExpectation* expectation, const RolledSoFar* rolled);

// The whole report of a roll: the window shows its parts, Copy puts this on the clipboard as tab-separated
// lines, a blank line between the parts, "\n" line ends.
struct RollReport {
    ExpectedReport expected;
    std::vector<std::pair<std::string, std::string>> facts;
    ReachReport reach;
    RolledReport rolled;
    std::string copyText() const;
};
RollReport rollReport(const RollExpectation& expectation, std::string_view target, const RolledSoFar& rolled);

}  // namespace tumblecast::stats
