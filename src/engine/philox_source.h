#pragma once

#include <array>
#include <cstdint>

#include "engine/die_source.h"

namespace tumblecast {

using PhiloxCounter = std::array<std::uint32_t, 4>;
using PhiloxKey = std::array<std::uint32_t, 2>;

// One block of Philox4x32-10: four 32-bit words from a counter and a key.
PhiloxCounter philoxBlock(const PhiloxCounter& counter, const PhiloxKey& key);

// Philox4x32-10 in counter mode with a fixed key: block k / 4, lane k % 4, its top 24 bits. Every start of
// the program rolls the same sequence.
class PhiloxSource final : public DieSource {
public:
    // "Tumb", "leca": any fixed key serves; this one must never change, or every roll would.
    static constexpr PhiloxKey kKey = {0x54756D62, 0x6C656361};

    void bitsAt(std::uint64_t first, std::size_t count, std::uint32_t* out) const override;
};

}  // namespace tumblecast
