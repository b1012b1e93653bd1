#include "engine/random_source.h"

#include <Random123/philox.h>

namespace tumblecast {

namespace {
// "Tumb", "leca": any fixed key serves; this one must never change, or every roll would.
constexpr std::uint32_t kKey0 = 0x54756D62;
constexpr std::uint32_t kKey1 = 0x6C656361;
r123::Philox4x32::ctr_type blockAt(std::uint64_t block)
{
    const r123::Philox4x32::ctr_type counter = {
        {static_cast<std::uint32_t>(block), static_cast<std::uint32_t>(block >> 32), 0, 0}};
    const r123::Philox4x32::key_type key = {{kKey0, kKey1}};
    return r123::Philox4x32()(counter, key);
}

}  // namespace

float PhiloxSource::unitAt(std::uint64_t k)
{
    // 24 bits fill a float's mantissa exactly, so the value is exact and below 1.
    return static_cast<float>(blockAt(k / 4)[k % 4] >> 8) * (1.0f / 16777216.0f);
}

void PhiloxSource::bitsAt(std::uint64_t first, std::size_t count, std::uint32_t* out)
{
    std::uint64_t k = first;
    const std::uint64_t end = first + count;
    while (k < end) {
        const auto bits = blockAt(k / 4);
        if (k % 4 == 0 && end - k >= 4) {
            for (int lane = 0; lane < 4; ++lane) out[lane] = bits[lane] >> 8;
            out += 4;
            k += 4;
            continue;
        }
        for (std::uint64_t lane = k % 4; lane < 4 && k < end; ++lane, ++k) *out++ = bits[lane] >> 8;
    }
}

}  // namespace tumblecast
