#include "stats/stats_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tumblecast::stats {

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

std::string formatUp(double value, int decimals)
{
    std::string text = formatFixed(value, decimals);
    if (std::strtod(text.c_str(), nullptr) < value)
        text = formatFixed(value + 0.5 * std::pow(10.0, -decimals), decimals);
    return text;
}

std::string countOf(std::uint64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

ChanceText formatChance(double chance, bool certain)
{
    if (certain) return {chance >= 0.5 ? "100%" : "0%", {}};
    const double percent = 100.0 * chance;
    const std::string two = formatFixed(percent, 2);
    if (two != "0.00" && two != "100.00") return {two + "%", {}};
    // Enough digits to tell the figure from 0 or from 100.
    const double away = two == "0.00" ? percent : 100.0 - percent;
    if (away <= 0)
        return {two == "0.00" ? "< 0.01%" : "> 99.99%", two == "0.00" ? "< 1e-300%" : "> 99.99999999999%"};
    // Three significant digits of the distance from 0 or 100, read from its own rounding.
    char buffer[32];
    const char* const end =
        std::to_chars(buffer, buffer + sizeof buffer, away, std::chars_format::scientific, 2).ptr;
    // to_chars writes no terminating NUL: read the exponent within what it wrote.
    const char* sign = std::find(static_cast<const char*>(buffer), end, 'e') + 1;
    int exponent = 0;
    std::from_chars(sign + (*sign == '+'), end, exponent);
    std::string exact;
    if (two == "0.00" && exponent < -10)
        exact = std::string(static_cast<const char*>(buffer), end) + "%";
    else
        exact = formatFixed(percent, std::min(2 - exponent, 15)) + "%";
    return {two == "0.00" ? "< 0.01%" : "> 99.99%", exact};
}

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
    const std::string error = formatUp(points, decimals);
    switch (distribution.method()) {
        case TotalDistribution::Method::Exact:
            return "exact";
        case TotalDistribution::Method::Grouped:
            return "approximate (faces grouped): P(>=) and P(<=) within " + error +
                   " percentage points, other chances within twice that";
        case TotalDistribution::Method::Normal:
            return "approximate (normal): P(>=) and P(<=) within " + error +
                   " percentage points, other chances within twice that";
        case TotalDistribution::Method::Simulated:
            return "approximate (simulated): P(>=) and P(<=) within " + error +
                   " percentage points at 99.9 % confidence, other chances within twice that";
    }
    return {};
}

std::string verdictText(const Fairness& fairness)
{
    if (!fairness.tested()) return "too few dice to judge";
    if (!fairness.unusual()) return "consistent with fair dice";
    const double p = fairness.pValue;
    std::string often = "less than once in 10000 rolls";
    if (p >= 0.0001) {
        // Two significant digits of 1 / p.
        const double every = 1.0 / p;
        const double unit = std::pow(10.0, std::floor(std::log10(every)) - 1);
        often = "about once in " + formatFixed(std::round(every / unit) * unit, 0) + " rolls";
    }
    return "unusual: p " + std::string(p < 0.00005 ? "" : "= ") + formatPValue(p) +
           "; fair dice look this unusual " + often;
}

}  // namespace tumblecast::stats
