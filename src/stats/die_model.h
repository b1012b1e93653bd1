#pragma once

#include <cstdint>
#include <vector>

#include "engine/die_source.h"

namespace tumblecast::stats {

// One die as this program rolls it: face dieFace(sides, x) of a DieSource::kBits-bit number x. Where sides
// does not divide 2^24 the faces are not quite equally likely (for 999998 sides each holds 16 or 17 of the
// 2^24 numbers); a test against an ideal die would call a correct generator unusual on a large enough
// sample, so every expectation here is taken from these exact weights.
class DieModel {
public:
    static constexpr std::uint64_t kValues = std::uint64_t{1} << DieSource::kBits;

    // sides from 1 to 2^24.
    explicit DieModel(std::uint64_t sides);

    std::uint64_t sides() const { return m_sides; }
    // How many of the 2^24 numbers give a face from lo to hi (1-based, inclusive).
    std::uint64_t valuesIn(std::uint64_t lo, std::uint64_t hi) const
    {
        return firstValueOf(hi + 1) - firstValueOf(lo);
    }
    double probabilityIn(std::uint64_t lo, std::uint64_t hi) const
    {
        return static_cast<double>(valuesIn(lo, hi)) / static_cast<double>(kValues);
    }
    // Of the face itself, 1 to sides.
    double mean() const { return m_mean; }
    double variance() const { return m_variance; }
    // E|face - mean|^3, for the error bound of the normal approximation.
    double absoluteThirdMoment() const { return m_absThird; }

    // Probabilities of faces 1 to sides grouped width at a time (the last group may be narrower).
    std::vector<double> groupedProbabilities(std::uint64_t width) const;

private:
    // The smallest x whose face is at least face (1-based); kValues past the last face.
    std::uint64_t firstValueOf(std::uint64_t face) const
    {
        return ((face - 1) * kValues + m_sides - 1) / m_sides;
    }

    std::uint64_t m_sides;
    double m_mean = 0;
    double m_variance = 0;
    double m_absThird = 0;
};

}  // namespace tumblecast::stats
