#include "stats/roll_report.h"

#include <algorithm>
#include <limits>

#include "engine/roll_request.h"
#include "stats/stats_text.h"

namespace tumblecast::stats {

namespace {

std::string number(std::int64_t value) { return std::to_string(value); }

std::string range(std::int64_t low, std::int64_t high)
{
    return low == high ? number(low) : number(low) + "-" + number(high);
}

void line(std::string& out, const std::vector<std::string>& cells)
{
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) out += '\t';
        out += cells[i];
    }
    out += '\n';
}

void lines(std::string& out, const std::vector<Figure>& figures)
{
    for (const Figure& f : figures) line(out, {f.name, f.value});
}

void lines(std::string& out, const ReportTable& table)
{
    line(out, table.heads);
    for (const auto& row : table.rows) line(out, row);
}

TestReport testReport(const std::string& name, const std::string& label, const ChiSquareResult* test,
                      const std::string& waiting)
{
    TestReport t{name, {"Test of the " + name, {}}, {}};
    if (!test) {
        t.stated.value = waiting;
        t.cells = {{label, waiting}};
    } else if (!test->tested()) {
        t.stated.value = "too few to test";
        t.cells = {{label, t.stated.value}};
    } else {
        const std::string p = formatPValue(test->pValue);
        t.stated.value = "chi-square " + formatFixed(test->statistic, 3) + ", " +
                         number(test->degreesOfFreedom) + " degrees of freedom, p " +
                         (test->pValue < 0.00005 ? p : "= " + p);
        t.cells = {{label + " chi-square", formatFixed(test->statistic, 3)},
                   {label + " degrees of freedom", number(test->degreesOfFreedom)},
                   {label + " p-value", p}};
    }
    return t;
}

}  // namespace

RollExpectation::RollExpectation(std::string name, std::string summary,
                                 std::vector<std::pair<std::string, std::string>> facts,
                                 TotalDistribution distribution)
    : name(std::move(name)),
      summary(std::move(summary)),
      facts(std::move(facts)),
      distribution(std::move(distribution)),
      totalBins(this->distribution),
      faceBins(this->distribution.die())
{
}

RollExpectation expectationOf(const RollShape& s)
{
    const auto n = [](std::uint64_t v) { return std::to_string(v); };
    std::string name = n(s.dice) + "D" + n(s.sides);
    if (s.perDieModify) name += " +" + n(s.perDieModify) + " per die";
    if (s.totalModify) name += " +" + n(s.totalModify);
    return RollExpectation(std::move(name),
                           n(s.dice) + " dice of " + n(s.sides) + " sides, per-die modifier " +
                               n(s.perDieModify) + ", total modifier " + n(s.totalModify) + ", " +
                               n(s.times) + " repetitions",
                           {{"Dice", n(s.dice)},
                            {"Sides", n(s.sides)},
                            {"Per-die modifier", n(s.perDieModify)},
                            {"Total modifier", n(s.totalModify)},
                            {"Repetitions", n(s.times)}},
                           TotalDistribution(s));
}

RolledSoFar nothingRolled(const RollExpectation& e)
{
    return {0, TotalTally(e.totalBins, e.distribution.mean()), FaceTally(e.faceBins), false};
}

ExpectedReport expectedReport(const RollExpectation* e)
{
    ExpectedReport r;
    if (!e) {
        r.roll = "No roll: the result box is empty.";
        r.figures.resize(5);
        r.table.heads = {"Total", "P(=)", "P(>=)", "P(<=)"};
        return r;
    }
    const TotalDistribution& d = e->distribution;
    r.roll = "Roll: " + e->summary + ".";
    r.figures = {{"Minimum", number(d.minimum())},
                 {"Maximum", number(d.maximum())},
                 {"Mean", formatFixed(d.mean(), 3)},
                 {"Standard deviation", formatFixed(d.standardDeviation(), 3)},
                 {"Chances", methodText(d)}};
    const std::vector<ExpectedRow> rows = expectedRows(d);
    const bool single =
        std::all_of(rows.begin(), rows.end(), [](const auto& row) { return row.low == row.high; });
    r.table.heads = {single ? "Total" : "Totals", single ? "P(=)" : "P(in row)", "P(>=)", "P(<=)"};
    for (const ExpectedRow& row : rows)
        r.table.rows.push_back({range(row.low, row.high), formatPercent(row.inRow),
                                formatPercent(row.atLeast), formatPercent(row.atMost)});
    return r;
}

ReachReport reachReport(const RollExpectation* e, std::string_view text)
{
    ReachReport r;
    // Totals run to eleven digits, beyond what the roll fields read; a number past every total stays past
    // them.
    constexpr auto kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max() / 10);
    if (const std::optional<std::uint64_t> value = readDigits(text, kLimit))
        r.target = static_cast<std::int64_t>(*value);
    if (!e || !r.target) {
        r.prompt = text.empty() || !e ? "Type a total to see the chance of reaching it."
                                      : "Not a whole number: type digits only.";
        return r;
    }
    const TotalDistribution& d = e->distribution;
    r.one = {"One repetition reaches it", formatPercent(d.atLeast(*r.target))};
    r.any = {"At least one of " + std::to_string(d.shape().times) + " repetitions reaches it",
             formatPercent(d.anyReaches(*r.target))};
    return r;
}

RolledReport rolledReport(const RollExpectation* expectation, const RolledSoFar* tallied)
{
    RolledReport r;
    r.totals.heads = {"Totals", "Rolled", "Expected"};
    r.faces.heads = {"Faces", "Rolled", "Expected"};
    if (!expectation || !tallied) return r;
    const RollExpectation& e = *expectation;
    const RolledSoFar& rolled = *tallied;
    r.done = rolled.repetitions;
    r.of = e.repetitions();
    r.finished = rolled.finished;
    const bool any = rolled.repetitions > 0;
    r.mean = {"Rolled mean", any ? formatFixed(rolled.totals.mean(), 3) : std::string()};
    r.deviation = {"Rolled standard deviation",
                   any ? formatFixed(rolled.totals.standardDeviation(), 3) : std::string()};

    const auto counted = [](const std::string& title, bool single, std::int64_t first,
                            const std::vector<std::uint64_t>& counts, const std::vector<double>& chances,
                            double of, const std::vector<std::string>& labels, ReportTable& table,
                            BinSeries& chart) {
        chart = {single ? title : title + " range, numbered as in the table", single, first, counts, {}};
        for (std::size_t i = 0; i < labels.size(); ++i) {
            chart.expected.push_back(chances[i] * of);
            table.rows.push_back({labels[i], std::to_string(counts[i]), formatFixed(chances[i] * of, 2)});
        }
    };
    std::vector<std::string> labels;
    const TotalBins& tb = e.totalBins;
    for (std::size_t i = 0; i < tb.size(); ++i) labels.push_back(range(tb.low(i), tb.high(i)));
    counted("Total", tb.size() == static_cast<std::size_t>(tb.high(tb.size() - 1) - tb.low(0) + 1), tb.low(0),
            rolled.totals.counts(), tb.chances(), static_cast<double>(rolled.repetitions), labels, r.totals,
            r.totalsChart);
    labels.clear();
    const FaceBins& fb = e.faceBins;
    for (std::size_t i = 0; i < fb.size(); ++i)
        labels.push_back(range(static_cast<std::int64_t>(fb.low(i)), static_cast<std::int64_t>(fb.high(i))));
    counted("Face", fb.size() == fb.sides(), 1, rolled.faces.counts(), fb.chances(),
            static_cast<double>(rolled.faces.count()), labels, r.faces, r.facesChart);

    if (!rolled.finished) {
        const std::string waiting = "measuring, " + std::to_string(rolled.repetitions) + " of " +
                                    std::to_string(r.of) + " repetitions";
        r.totalsTest = testReport("totals", "Totals", nullptr, waiting);
        r.facesTest = testReport("faces", "Faces", nullptr, waiting);
        r.verdict = {"Verdict", "when every repetition is measured."};
        return r;
    }
    const Fairness fairness = judgeFairness(e.totalBins, rolled.totals, e.faceBins, rolled.faces);
    r.totalsTest = testReport("totals", "Totals", &fairness.totals, {});
    r.facesTest = testReport("faces", "Faces", &fairness.faces, {});
    r.verdict = {"Verdict", verdictText(fairness)};
    return r;
}

RollReport rollReport(const RollExpectation& e, std::string_view target, const RolledSoFar& rolled)
{
    return {expectedReport(&e), e.facts, reachReport(&e, target), rolledReport(&e, &rolled)};
}

std::string RollReport::copyText() const
{
    std::string out;
    for (const auto& [name, value] : facts) line(out, {name, value});
    out += '\n';
    lines(out, expected.figures);
    lines(out, expected.table);
    if (reach.target && !reach.one.name.empty()) {
        out += '\n';
        lines(out, {{"Target total", number(*reach.target)}, reach.one, reach.any});
    }
    out += '\n';
    lines(out, {rolled.mean, rolled.deviation});
    lines(out, rolled.totals);
    lines(out, rolled.totalsTest.cells);
    lines(out, rolled.faces);
    lines(out, rolled.facesTest.cells);
    lines(out, {rolled.verdict});
    return out;
}

}  // namespace tumblecast::stats
