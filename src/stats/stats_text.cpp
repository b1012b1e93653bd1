#include "stats/stats_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tumblecast::stats {

namespace {

std::string number(std::int64_t value) { return std::to_string(value); }

std::string range(std::int64_t low, std::int64_t high)
{
    return low == high ? number(low) : number(low) + "-" + number(high);
}

void line(std::string& out, std::initializer_list<std::string> cells)
{
    bool first = true;
    for (const auto& cell : cells) {
        if (!first) out += '\t';
        out += cell;
        first = false;
    }
    out += '\n';
}

void testLines(std::string& out, const std::string& name, const ChiSquareResult& test)
{
    if (!test.tested()) {
        line(out, {name, "too few to test"});
        return;
    }
    line(out, {name + " chi-square", formatFixed(test.statistic, 3)});
    line(out, {name + " degrees of freedom", number(test.degreesOfFreedom)});
    line(out, {name + " p-value", formatPValue(test.pValue)});
}

}  // namespace

std::string formatFixed(double value, int decimals)
{
    // to_chars ignores the C locale, which Qt sets from the environment.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);
    return text;
}

std::string formatPercent(double chance) { return formatFixed(100.0 * chance, 2) + "%"; }

std::string formatPValue(double p) { return p < 0.00005 ? "< 0.0001" : formatFixed(p, 4); }

std::vector<ExpectedRow> expectedRows(const TotalDistribution& distribution, std::size_t maxRows)
{
    const std::int64_t min = distribution.minimum();
    const std::int64_t max = distribution.maximum();
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    if (static_cast<std::uint64_t>(max - min) < maxRows) {
        for (std::int64_t t = min; t <= max; ++t) spans.emplace_back(t, t);
    } else {
        const double reach = 5.0 * distribution.standardDeviation();
        const auto lo = std::max(min, static_cast<std::int64_t>(std::floor(distribution.mean() - reach)));
        const auto hi = std::min(max, static_cast<std::int64_t>(std::ceil(distribution.mean() + reach)));
        const std::size_t inner = std::max<std::size_t>(1, maxRows - 2);
        const std::int64_t width =
            (hi - lo + static_cast<std::int64_t>(inner)) / static_cast<std::int64_t>(inner);
        if (lo > min) spans.emplace_back(min, lo - 1);
        for (std::int64_t t = lo; t <= hi; t += width) spans.emplace_back(t, std::min(hi, t + width - 1));
        if (hi < max) spans.emplace_back(hi + 1, max);
    }
    std::vector<ExpectedRow> rows;
    rows.reserve(spans.size());
    for (const auto& [low, high] : spans)
        rows.push_back({low, high, distribution.between(low, high), distribution.atLeast(low),
                        distribution.atMost(high)});
    return rows;
}

std::string methodText(const TotalDistribution& distribution)
{
    // Two significant digits when the error is below a hundredth of a point: "within 0.00" would read as
    // exact.
    const double points = 100.0 * distribution.errorBound();
    const int decimals =
        points > 0 ? std::clamp(static_cast<int>(std::ceil(-std::log10(points))) + 1, 2, 12) : 2;
    const std::string error = formatFixed(points, decimals);
    switch (distribution.method()) {
        case TotalDistribution::Method::Exact:
            return "exact";
        case TotalDistribution::Method::Grouped:
            return "approximate (faces grouped): P(>=) and P(<=) within " + error +
                   " percentage points, other chances within twice that";
        case TotalDistribution::Method::Normal:
            return "approximate (normal): P(>=) and P(<=) within " + error +
                   " percentage points, other chances within twice that";
    }
    return {};
}

std::string verdictText(const Fairness& fairness)
{
    if (!fairness.tested()) return "too few dice to judge";
    if (fairness.unusual())
        return "unusual: p " + std::string(fairness.pValue < 0.00005 ? "" : "= ") +
               formatPValue(fairness.pValue);
    return "consistent with fair dice";
}

std::string rollText(const RollShape& shape)
{
    std::string out;
    line(out, {"Dice", std::to_string(shape.dice)});
    line(out, {"Sides", std::to_string(shape.sides)});
    line(out, {"Per-die modifier", std::to_string(shape.perDieModify)});
    line(out, {"Total modifier", std::to_string(shape.totalModify)});
    line(out, {"Repetitions", std::to_string(shape.times)});
    return out;
}

std::string expectedText(const TotalDistribution& distribution, const std::vector<ExpectedRow>& rows)
{
    std::string out;
    line(out, {"Minimum", number(distribution.minimum())});
    line(out, {"Maximum", number(distribution.maximum())});
    line(out, {"Mean", formatFixed(distribution.mean(), 3)});
    line(out, {"Standard deviation", formatFixed(distribution.standardDeviation(), 3)});
    line(out, {"Chances", methodText(distribution)});
    const bool single = std::all_of(rows.begin(), rows.end(), [](const auto& r) { return r.low == r.high; });
    line(out, {single ? "Total" : "Totals", single ? "P(=)" : "P(in row)", "P(>=)", "P(<=)"});
    for (const auto& r : rows)
        line(out, {range(r.low, r.high), formatPercent(r.inRow), formatPercent(r.atLeast),
                   formatPercent(r.atMost)});
    return out;
}

std::string reachText(const TotalDistribution& distribution, std::int64_t target)
{
    std::string out;
    line(out, {"Target", number(target)});
    line(out, {"One repetition", formatPercent(distribution.atLeast(target))});
    line(out, {"Any of " + std::to_string(distribution.shape().times) + " repetitions",
               formatPercent(distribution.anyReaches(target))});
    return out;
}

std::string rolledText(const TotalBins& totalBins, const TotalTally& totals, const FaceBins& faceBins,
                       const FaceTally& faces, const Fairness& fairness)
{
    std::string out;
    line(out, {"Observed mean", formatFixed(totals.mean(), 3)});
    line(out, {"Observed standard deviation", formatFixed(totals.standardDeviation(), 3)});
    line(out, {"Totals", "Observed", "Expected"});
    const auto totalCounts = totals.counts();
    const double repetitions = static_cast<double>(totals.count());
    for (std::size_t i = 0; i < totalBins.size(); ++i)
        line(out, {range(totalBins.low(i), totalBins.high(i)), std::to_string(totalCounts[i]),
                   formatFixed(totalBins.chance(i) * repetitions, 2)});
    testLines(out, "Totals", fairness.totals);
    line(out, {"Faces", "Observed", "Expected"});
    const auto faceCounts = faces.counts();
    const double dice = static_cast<double>(faces.count());
    for (std::size_t i = 0; i < faceBins.size(); ++i)
        line(out,
             {range(static_cast<std::int64_t>(faceBins.low(i)), static_cast<std::int64_t>(faceBins.high(i))),
              std::to_string(faceCounts[i]), formatFixed(faceBins.chance(i) * dice, 2)});
    testLines(out, "Faces", fairness.faces);
    line(out, {"Verdict", verdictText(fairness)});
    return out;
}

}  // namespace tumblecast::stats
