#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

namespace tumblecast {

// Rounds towards minus infinity, so that a point above the first row is in row -1, not row 0.
inline std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// Maps the first visible line onto a scroll bar's int range. One step is one line until there are more
// lines than an int can count; then a step covers as many lines as it takes to fit.
struct LineScale {
    std::uint64_t maxTop = 0;
    std::uint64_t linesPerStep = 1;

    static LineScale forMaxTop(std::uint64_t maxTop)
    {
        constexpr std::uint64_t kLimit = INT_MAX;
        return {maxTop, maxTop <= kLimit ? 1 : maxTop / kLimit + (maxTop % kLimit != 0)};
    }
    int maximum() const { return static_cast<int>(maxTop / linesPerStep + (maxTop % linesPerStep != 0)); }
    int valueOf(std::uint64_t top) const
    {
        top = std::min(top, maxTop);
        return static_cast<int>(top / linesPerStep + (top % linesPerStep != 0));
    }
    std::uint64_t topOf(int value) const
    {
        if (value <= 0) return 0;
        if (value >= maximum()) return maxTop;
        return static_cast<std::uint64_t>(value) * linesPerStep;
    }
};

}  // namespace tumblecast
