#include "engine/random_source.h"

#include <Random123/philox.h>

namespace tumblecast {

namespace {
// "Tumb", "leca": any fixed key serves; this one must never change, or every roll would.
constexpr std::uint32_t kKey0 = 0x54756D62;
constexpr std::uint32_t kKey1 = 0x6C656361;
}  // namespace

float PhiloxSource::unitAt(std::uint64_t k)
{
    const std::uint64_t block = k / 4;
    const r123::Philox4x32::ctr_type counter = {
        {static_cast<std::uint32_t>(block), static_cast<std::uint32_t>(block >> 32), 0, 0}};
    const r123::Philox4x32::key_type key = {{kKey0, kKey1}};
    const auto bits = r123::Philox4x32()(counter, key)[k % 4];
    // 24 bits fill a float's mantissa exactly, so the value is exact and below 1.
    return static_cast<float>(bits >> 8) * (1.0f / 16777216.0f);
}

}  // namespace tumblecast
