#include "cli/odds_output.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "notation/describe.h"
#include "notation/limits.h"

namespace tumblecast::cli {

namespace {

// Rows whose chances would all show as zero are left off the ends of the table.
constexpr double kShown = 5e-11;

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string percent(double p)
{
    if (p > 0 && p < 0.00005 / 100) return format("%.2e %%", p * 100);
    return format("%.4f %%", p * 100);
}

std::string chance(double p, bool tsv) { return tsv ? format("%.12g", p) : percent(p); }

std::string methodText(const notation::Expression& expression, const stats::ExpressionOdds& odds, bool tsv)
{
    using Method = stats::ExpressionOdds::Method;
    const double bound = odds.errorBound();
    std::string text;
    switch (odds.method()) {
        case Method::Exact:
            text = "exact";
            if (bound > 1e-15)
                text += ", every chance within " + percent(bound) + " (explosions followed until rarer)";
            break;
        case Method::Normal:
            text = "approximate (normal distribution): every chance within " + percent(bound);
            break;
        case Method::Simulated:
            text = "approximate (" + std::to_string(odds.samples()) +
                   " simulated rolls): every chance within " + percent(bound) + " at 99.9 % confidence";
            break;
    }
    bool explodes = false;
    for (const auto& term : expression.terms) explodes = explodes || (term.dice && term.dice->explode);
    if (explodes)
        text += std::string(tsv ? "\nbeyond the cap\t" : "\nchance that a die explodes ") +
                (tsv ? format("%.12g", odds.beyondCap())
                     : std::to_string(notation::kExplodeCap) + " times, its cap: at most " +
                           percent(odds.beyondCap()));
    return text;
}

}  // namespace

std::string oddsText(const notation::Expression& expression, const stats::ExpressionOdds& odds,
                     std::optional<std::int64_t> target, bool tsv)
{
    const char* sep = tsv ? "\t" : " ";
    std::string out;
    out += (tsv ? "expression\t" : "") + expression.text + (tsv ? "\nmeaning\t" : ": ") +
           notation::describe(expression) + "\n";
    out += std::string(tsv ? "method\t" : "") + methodText(expression, odds, tsv) + "\n";
    const char* digits = tsv ? "%.12g" : "%.3f";
    out += std::string("mean") + sep + format(digits, odds.mean()) + (tsv ? "\n" : ", ");
    out += std::string("standard deviation") + sep + format(digits, odds.standardDeviation()) + "\n";
    if (target) {
        const std::string t = std::to_string(*target);
        const std::string rolls =
            std::to_string(expression.times) + (expression.times == 1 ? " roll" : " rolls");
        const double once = odds.atLeast(*target), any = odds.anyReaches(*target, expression.times);
        if (tsv)
            out +=
                "P(>=" + t + ")\t" + chance(once, true) + "\nin " + rolls + "\t" + chance(any, true) + "\n";
        else
            out +=
                "P(>=" + t + ") = " + percent(once) + " in one roll, " + percent(any) + " in " + rolls + "\n";
    }
    // Table rows: the likely totals without the ends that would show nothing.
    std::int64_t first = odds.firstLikely(), last = odds.lastLikely();
    // Both chances only grow towards the middle: search, since the range may be billions wide.
    for (std::int64_t lo = first, hi = last; lo < hi;) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        (odds.atMost(mid) < kShown ? lo = mid + 1 : hi = mid), first = lo;
    }
    for (std::int64_t lo = first, hi = last; lo < hi;) {
        const std::int64_t mid = hi - (hi - lo) / 2;
        (odds.atLeast(mid) < kShown ? hi = mid - 1 : lo = mid), last = hi;
    }
    const std::int64_t width = (last - first) / kMaxRows + 1;
    if (width == 1)
        out += tsv ? "total\tP(=)\tP(>=)\tP(<=)\n" : "total       P(=)         P(>=)        P(<=)\n";
    else
        out += tsv ? "from\tto\tP(from..to)\tP(>=from)\tP(<=to)\n"
                   : "totals                P(in)        P(>=from)    P(<=to)\n";
    char line[160];
    for (std::int64_t lo = first; lo <= last; lo += width) {
        const std::int64_t hi = std::min(last, lo + width - 1);
        const double in =
            width == 1 ? odds.equalTo(lo) : std::max(0.0, odds.atMost(hi) - odds.atMost(lo - 1));
        const std::string a = chance(in, tsv), b = chance(odds.atLeast(lo), tsv),
                          c = chance(odds.atMost(hi), tsv);
        if (tsv && width == 1)
            std::snprintf(line, sizeof line, "%" PRId64 "\t%s\t%s\t%s\n", lo, a.c_str(), b.c_str(),
                          c.c_str());
        else if (tsv)
            std::snprintf(line, sizeof line, "%" PRId64 "\t%" PRId64 "\t%s\t%s\t%s\n", lo, hi, a.c_str(),
                          b.c_str(), c.c_str());
        else if (width == 1)
            std::snprintf(line, sizeof line, "%-8" PRId64 "%12s  %12s  %12s\n", lo, a.c_str(), b.c_str(),
                          c.c_str());
        else
            std::snprintf(line, sizeof line, "%10" PRId64 "..%-10" PRId64 "%12s  %12s  %12s\n", lo, hi,
                          a.c_str(), b.c_str(), c.c_str());
        out += line;
    }
    return out;
}

}  // namespace tumblecast::cli
