#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/die_source.h"

namespace tumblecast {

using PhiloxCounter = std::array<std::uint32_t, 4>;
using PhiloxKey = std::array<std::uint32_t, 2>;

// One block of Philox4x32-10: four 32-bit words from a counter and a key.
PhiloxCounter philoxBlock(const PhiloxCounter& counter, const PhiloxKey& key);

// Philox4x32-10 in counter mode with a fixed key: value k is the top 24 bits of lane k % 4 of the block whose
// counter holds k / 4 in its two low words and the seed in its two high words. Seed 0 is the sequence every
// start of the program rolls; each other seed is a sequence of its own.
class PhiloxSource final : public DieSource {
public:
    // "Tumb", "leca": any fixed key serves; this one must never change, or every roll would.
    static constexpr PhiloxKey kKey = {0x54756D62, 0x6C656361};

    explicit PhiloxSource(std::uint64_t seed = 0) : m_seed(seed) {}
    std::uint64_t seed() const { return m_seed; }

    void bitsAt(std::uint64_t first, std::size_t count, std::uint32_t* out) const override;

private:
    std::uint64_t m_seed;
};

// The ways this processor has of computing blocks, from the plainest; sources take the last. Every way gives
// the same values: the tests hold each to philoxBlock, choosing it for every source with usePhiloxPath.
std::vector<std::string_view> philoxPaths();
void usePhiloxPath(std::string_view name);

// A seed drawn from the system, for fresh dice.
std::uint64_t freshSeed();

}  // namespace tumblecast
