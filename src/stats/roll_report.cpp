#include "stats/roll_report.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/roll_request.h"
#include "stats/stats_text.h"

namespace tumblecast::stats {

namespace {

// Up to this many bins a chart draws bars that stand apart; beyond, one outline, which lays out at once.
constexpr std::size_t kBarBins = 60;

std::string number(std::int64_t value) { return std::to_string(value); }

std::string range(std::int64_t low, std::int64_t high)
{
    return low == high ? number(low) : number(low) + "-" + number(high);
}

Cell chance(double p, bool certain)
{
    ChanceText text = formatChance(p, certain);
    return {std::move(text.shown), std::move(text.exact)};
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
    for (const Figure& f : figures)
        if (!f.name.empty()) line(out, {f.name, f.value.copied()});
}

void lines(std::string& out, const ReportTable& table)
{
    const auto copied = [](const std::vector<Cell>& cells) {
        std::vector<std::string> out;
        for (const Cell& cell : cells) out.push_back(cell.copied());
        return out;
    };
    line(out, copied(table.heads));
    for (const auto& row : table.rows) line(out, copied(row));
}

constexpr const char* kOneSided = "nothing to test: a one-sided die always shows 1";

// A test, or why there is none: still measuring, or too few dice.
TestReport testReport(const std::string& name, const std::string& label, const ChiSquareResult* test,
                      const std::string& why)
{
    TestReport t{name, {"Test of the " + name, {}}, {}};
    if (!test || !test->tested()) {
        t.stated.value.shown = why;
        t.cells = {{label, t.stated.value}};
        return t;
    }
    const std::string p = formatPValue(test->pValue);
    const std::string df = countOf(static_cast<std::uint64_t>(test->degreesOfFreedom), "degree", "degrees");
    t.stated.value.shown = "chi-square " + formatFixed(test->statistic, 3) + ", " + df + " of freedom, p " +
                           (test->pValue < 0.00005 ? p : "= " + p);
    t.cells = {{label + " chi-square", {formatFixed(test->statistic, 3), {}}},
               {label + " degrees of freedom", {number(test->degreesOfFreedom), {}}},
               {label + " p-value", {p, {}}}};
    return t;
}

// A whole-number axis from 0 that holds top: steps of 1 for small counts, else 1, 2 or 5 times a power
// of ten, about five to eight of them.
void countAxis(double top, BinSeries& series)
{
    top = std::max(1.0, top);
    double step = 1;
    if (top > 8) {
        const double base = std::pow(10.0, std::floor(std::log10(top / 5)));
        step = base;
        for (const double m : {1.0, 2.0, 5.0, 10.0})
            if (top / (base * m) <= 8) {
                step = base * m;
                break;
            }
    }
    series.countTick = step;
    series.countTop = std::ceil(top / step) * step;
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
                           countOf(s.dice, "die", "dice") + " of " + n(s.sides) +
                               " sides, per-die modifier " + n(s.perDieModify) + ", total modifier " +
                               n(s.totalModify) + ", " + countOf(s.times, "repetition", "repetitions"),
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
    const Cell words[] = {{"Exactly", "P(=)"}, {"At least", "P(>=)"}, {"At most", "P(<=)"}};
    if (!e) {
        r.roll = "No roll: the result box is empty.";
        r.figures.resize(5);
        r.table.heads = {{"Total", {}}, words[0], words[1], words[2]};
        return r;
    }
    const TotalDistribution& d = e->distribution;
    r.roll = "Roll: " + e->summary + ".";
    r.figures = {{"Minimum", {number(d.minimum()), {}}},
                 {"Maximum", {number(d.maximum()), {}}},
                 {"Mean", {formatFixed(d.mean(), 3), {}}},
                 {"Standard deviation", {formatFixed(d.standardDeviation(), 3), {}}},
                 {"Chances", {methodText(d), {}}}};
    const std::vector<ExpectedRow> rows = expectedRows(d);
    const bool single =
        std::all_of(rows.begin(), rows.end(), [](const auto& row) { return row.low == row.high; });
    r.table.heads = {{single ? "Total" : "Totals", {}},
                     single ? words[0] : Cell{"In the row", "P(in row)"},
                     words[1],
                     words[2]};
    for (const ExpectedRow& row : rows) {
        const bool all = row.low <= d.minimum() && row.high >= d.maximum();
        r.table.rows.push_back({{range(row.low, row.high), {}},
                                chance(row.inRow, all),
                                chance(row.atLeast, row.low <= d.minimum()),
                                chance(row.atMost, row.high >= d.maximum())});
    }
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
    const bool certain = *r.target <= d.minimum() || *r.target > d.maximum();
    r.one = {"One repetition reaches it", chance(d.atLeast(*r.target), certain)};
    // With one repetition the second line would say the first again.
    if (d.shape().times > 1)
        r.any = {"At least one of " + std::to_string(d.shape().times) + " repetitions reaches it",
                 chance(d.anyReaches(*r.target), certain)};
    return r;
}

RolledReport rolledReport(const RollExpectation* expectation, const RolledSoFar* tallied)
{
    RolledReport r;
    r.totals.heads = {{"Totals", {}}, {"Rolled", {}}, {"Expected", {}}};
    r.faces.heads = {{"Faces", {}}, {"Rolled", {}}, {"Expected", {}}};
    if (!expectation || !tallied) return r;
    const RollExpectation& e = *expectation;
    const RolledSoFar& rolled = *tallied;
    const TotalDistribution& d = e.distribution;
    r.done = rolled.repetitions;
    r.of = e.repetitions();
    r.finished = rolled.finished;
    const bool any = rolled.repetitions > 0;
    r.mean = {"Rolled mean", {any ? formatFixed(rolled.totals.mean(), 3) : std::string(), {}}};
    r.deviation = {"Rolled standard deviation",
                   {rolled.repetitions > 1    ? formatFixed(rolled.totals.standardDeviation(), 3)
                    : rolled.repetitions == 1 ? "undefined for a single repetition"
                                              : std::string(),
                    {}}};

    const auto counted = [](const std::string& title, const char* countTitle, bool single, std::int64_t first,
                            const std::vector<std::uint64_t>& counts, const std::vector<double>& chances,
                            double of, const std::vector<std::string>& labels, ReportTable& table,
                            BinSeries& chart) {
        chart.binTitle = single ? title : title + " range, numbered as in the table";
        chart.countTitle = countTitle;
        chart.rolledName = "Rolled";
        chart.expectedName = "Expected";
        chart.single = single;
        chart.bars = labels.size() <= kBarBins;
        chart.firstValue = first;
        chart.binTick = std::max(1.0, std::ceil(static_cast<double>(labels.size()) / 8.0));
        chart.counts = counts;
        double top = 0;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            chart.expected.push_back(chances[i] * of);
            top = std::max({top, chart.expected.back(), static_cast<double>(counts[i])});
            table.rows.push_back(
                {{labels[i], {}}, {std::to_string(counts[i]), {}}, {formatFixed(chances[i] * of, 2), {}}});
        }
        countAxis(top, chart);
    };
    std::vector<std::string> labels;
    const TotalBins& tb = e.totalBins;
    for (std::size_t i = 0; i < tb.size(); ++i) labels.push_back(range(tb.low(i), tb.high(i)));
    counted("Total", "Repetitions",
            tb.size() == static_cast<std::size_t>(tb.high(tb.size() - 1) - tb.low(0) + 1), tb.low(0),
            rolled.totals.counts(), tb.chances(), static_cast<double>(rolled.repetitions), labels, r.totals,
            r.totalsChart);
    labels.clear();
    const FaceBins& fb = e.faceBins;
    for (std::size_t i = 0; i < fb.size(); ++i)
        labels.push_back(range(static_cast<std::int64_t>(fb.low(i)), static_cast<std::int64_t>(fb.high(i))));
    counted("Face", "Dice", fb.size() == fb.sides(), 1, rolled.faces.counts(), fb.chances(),
            static_cast<double>(rolled.faces.count()), labels, r.faces, r.facesChart);

    const std::string head = e.name + " x " + std::to_string(r.of) + ": ";
    const std::string expectedMean = "expected " + formatFixed(d.mean(), 2);
    if (!rolled.finished) {
        const std::string waiting = "measuring, " + std::to_string(rolled.repetitions) + " of " +
                                    countOf(r.of, "repetition", "repetitions");
        r.summary = head + expectedMean + "; " + waiting;
        r.totalsTest = testReport("totals", "Totals", nullptr, waiting);
        r.facesTest = testReport("faces", "Faces", nullptr, waiting);
        r.verdict = {"Verdict", {"when every repetition is measured.", {}}};
        return r;
    }
    const bool oneSided = fb.sides() == 1;
    const Fairness fairness =
        judgeFairness(e.totalBins, rolled.totals, e.faceBins, rolled.faces, d.shape().dice == 1);
    r.totalsTest = testReport("totals", "Totals", &fairness.totals, oneSided ? kOneSided : "too few to test");
    r.facesTest = testReport("faces", "Faces", &fairness.faces, oneSided ? kOneSided : "too few to test");
    r.verdict = {"Verdict", {oneSided ? kOneSided : verdictText(fairness), {}}};
    const std::string verdict = oneSided             ? "nothing to test"
                                : !fairness.tested() ? "too few dice to judge"
                                : fairness.unusual() ? "unusual for fair dice"
                                                     : "consistent with fair dice";
    r.summary =
        head + "average " + formatFixed(rolled.totals.mean(), 2) + ", " + expectedMean + "; " + verdict;
    return r;
}

RollReport rollReport(const RollExpectation& e, std::string_view target, const RolledSoFar& rolled)
{
    return {e.facts, expectedReport(&e), reachReport(&e, target), rolledReport(&e, &rolled)};
}

std::string RollReport::copyText() const
{
    std::string out;
    line(out, {"Summary", rolled.summary});
    for (const auto& [name, value] : facts) line(out, {name, value});
    out += '\n';
    lines(out, expected.figures);
    lines(out, expected.table);
    if (reach.target && !reach.one.name.empty()) {
        out += '\n';
        lines(out, {{"Target total", {number(*reach.target), {}}}, reach.one, reach.any});
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
