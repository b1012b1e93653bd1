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

// A text as the window shows it, and what Copy writes and a tooltip says where that differs: the exact
// figure behind "< 0.01%", or the notation behind a player's words.
struct Cell {
    std::string shown;
    std::string exact;  // empty: shown says it all
    const std::string& copied() const { return exact.empty() ? shown : exact; }
    bool operator==(const Cell&) const = default;
};

// A named figure: shown as "name: value", copied as "name<TAB>value".
struct Figure {
    std::string name;
    Cell value;
    std::string shown() const { return name.empty() ? std::string() : name + ": " + value.shown; }
};

// A table: its heads and its rows of cells, the first column a label, the others figures.
struct ReportTable {
    std::vector<Cell> heads;
    std::vector<std::vector<Cell>> rows;
    bool operator==(const ReportTable&) const = default;
};

// Counts per bin against what was expected there, for a chart. Bins of single values stand at their
// value on the axis; ranges stand at their number. Few bins are drawn as bars apart, many as one outline.
struct BinSeries {
    std::string binTitle;
    std::string countTitle;
    std::string rolledName;
    std::string expectedName;
    bool single = true;
    bool bars = true;
    std::int64_t firstValue = 1;
    double binTick = 1;   // whole numbers
    double countTop = 1;  // the count axis runs from 0 to this, in whole steps of countTick
    double countTick = 1;
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
    std::string summary;  // one line: the roll, its average against the expected, the verdict
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
    std::vector<std::pair<std::string, std::string>> facts;
    ExpectedReport expected;
    ReachReport reach;
    RolledReport rolled;
    std::string copyText() const;
};
RollReport rollReport(const RollExpectation& expectation, std::string_view target, const RolledSoFar& rolled);

}  // namespace tumblecast::stats
