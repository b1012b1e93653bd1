#include "stats/die_model.h"

#include <cmath>
#include <stdexcept>

namespace tumblecast::stats {

DieModel::DieModel(std::uint64_t sides) : m_sides(sides)
{
    if (sides < 1 || sides > kValues) throw std::invalid_argument("sides out of range");
    // Faces share their count of numbers in long stretches; summing face by face is at most 2^24 steps
    // and takes a few milliseconds for the largest die, once per roll.
    double sum = 0;
    for (std::uint64_t f = 1; f <= sides; ++f)
        sum += static_cast<double>(valuesIn(f, f)) * static_cast<double>(f);
    m_mean = sum / static_cast<double>(kValues);
    double second = 0;
    double third = 0;
    for (std::uint64_t f = 1; f <= sides; ++f) {
        const double p = probabilityIn(f, f);
        const double d = static_cast<double>(f) - m_mean;
        second += p * d * d;
        third += p * std::fabs(d) * d * d;
    }
    m_variance = second;
    m_absThird = third;
}

std::vector<double> DieModel::groupedProbabilities(std::uint64_t width) const
{
    std::vector<double> out;
    out.reserve((m_sides + width - 1) / width);
    for (std::uint64_t lo = 1; lo <= m_sides; lo += width)
        out.push_back(probabilityIn(lo, std::min(m_sides, lo + width - 1)));
    return out;
}

}  // namespace tumblecast::stats
