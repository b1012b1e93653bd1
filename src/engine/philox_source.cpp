#include "engine/philox_source.h"

#include <Random123/philox.h>

namespace tumblecast {

PhiloxCounter philoxBlock(const PhiloxCounter& counter, const PhiloxKey& key)
{
    const r123::Philox4x32::ctr_type c = {{counter[0], counter[1], counter[2], counter[3]}};
    const r123::Philox4x32::key_type k = {{key[0], key[1]}};
    const auto out = r123::Philox4x32()(c, k);
    return {out[0], out[1], out[2], out[3]};
}

void PhiloxSource::bitsAt(std::uint64_t first, std::size_t count, std::uint32_t* out) const
{
    constexpr unsigned kDrop = 32 - kBits;
    std::uint64_t k = first;
    const std::uint64_t end = first + count;
    while (k < end) {
        const std::uint64_t block = k / 4;
        const auto bits = philoxBlock(
            {static_cast<std::uint32_t>(block), static_cast<std::uint32_t>(block >> 32), 0, 0}, kKey);
        if (k % 4 == 0 && end - k >= 4) {
            for (int lane = 0; lane < 4; ++lane) *out++ = bits[lane] >> kDrop;
            k += 4;
            continue;
        }
        for (std::uint64_t lane = k % 4; lane < 4 && k < end; ++lane, ++k) *out++ = bits[lane] >> kDrop;
    }
}

}  // namespace tumblecast
