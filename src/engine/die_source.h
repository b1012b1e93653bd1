#pragma once

#include <cstddef>
#include <cstdint>

namespace tumblecast {

// Where a run's dice come from: value k of the generator's life, u = x / 2^24 in [0, 1), found by its
// number k alone, so that a record can render any die without rolling the ones before it.
class DieSource {
public:
    static constexpr unsigned kBits = 24;

    virtual ~DieSource() = default;
    // The 24-bit numbers x of values first to first + count - 1.
    virtual void bitsAt(std::uint64_t first, std::size_t count, std::uint32_t* out) const = 0;
};

// Sides a die may have: below this, sides * x fits in 53 bits and the integer face below is the face
// floor(sides * u + 1) computed in double.
inline constexpr std::uint64_t kSidesLimit = std::uint64_t{1} << (53 - DieSource::kBits);

// The face that value x shows on a die of sides sides: 1 to sides.
constexpr std::uint64_t dieFace(std::uint64_t sides, std::uint32_t x)
{
    return ((sides * x) >> DieSource::kBits) + 1;
}

}  // namespace tumblecast
