#include "engine/philox_source.h"

#include <Random123/philox.h>

#include <algorithm>
#include <random>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tumblecast {

PhiloxCounter philoxBlock(const PhiloxCounter& counter, const PhiloxKey& key)
{
    const r123::Philox4x32::ctr_type c = {{counter[0], counter[1], counter[2], counter[3]}};
    const r123::Philox4x32::key_type k = {{key[0], key[1]}};
    const auto out = r123::Philox4x32()(c, k);
    return {out[0], out[1], out[2], out[3]};
}

namespace {

constexpr unsigned kDrop = 32 - DieSource::kBits;
// Blocks computed side by side, one word of each in its own array, so that the rounds vectorise.
constexpr std::size_t kLanes = 16;

// The top bits of blocks first to first + kLanes - 1, lane by lane in order: 4 * kLanes values. The same
// rounds as philoxBlock, whose answers the tests hold this to.
#if defined(__SSE2__)
// Compilers do not find the widening multiply in the plain loop below, so the rounds are written out.
void philoxBlocks(std::uint64_t first, std::uint64_t seed, std::uint32_t* out)
{
    constexpr std::size_t kGroups = kLanes / 4;
    __m128i c0[kGroups], c1[kGroups], c2[kGroups], c3[kGroups];
    for (std::size_t g = 0; g < kGroups; ++g) {
        std::uint32_t low[4], high[4];
        for (std::size_t i = 0; i < 4; ++i) {
            low[i] = static_cast<std::uint32_t>(first + 4 * g + i);
            high[i] = static_cast<std::uint32_t>((first + 4 * g + i) >> 32);
        }
        c0[g] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low));
        c1[g] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high));
        c2[g] = _mm_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(seed)));
        c3[g] = _mm_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(seed >> 32)));
    }
    const __m128i m0 = _mm_set1_epi32(static_cast<int>(PHILOX_M4x32_0));
    const __m128i m1 = _mm_set1_epi32(static_cast<int>(PHILOX_M4x32_1));
    const __m128i lowWords = _mm_set1_epi64x(0xFFFFFFFF);
    // Both halves of the products of four words: the even lanes' and the odd lanes' multiplies, merged.
    const auto mulhilo = [&](__m128i a, __m128i m, __m128i& hi) {
        const __m128i even = _mm_mul_epu32(a, m);
        const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), m);
        hi = _mm_or_si128(_mm_srli_epi64(even, 32), _mm_andnot_si128(lowWords, odd));
        return _mm_or_si128(_mm_and_si128(even, lowWords), _mm_slli_epi64(odd, 32));
    };
    std::uint32_t k0 = PhiloxSource::kKey[0];
    std::uint32_t k1 = PhiloxSource::kKey[1];
    for (int round = 0; round < 10; ++round) {
        const __m128i key0 = _mm_set1_epi32(static_cast<int>(k0));
        const __m128i key1 = _mm_set1_epi32(static_cast<int>(k1));
        for (std::size_t g = 0; g < kGroups; ++g) {
            __m128i hi0, hi1;
            const __m128i lo0 = mulhilo(c0[g], m0, hi0);
            const __m128i lo1 = mulhilo(c2[g], m1, hi1);
            c0[g] = _mm_xor_si128(_mm_xor_si128(hi1, c1[g]), key0);
            c2[g] = _mm_xor_si128(_mm_xor_si128(hi0, c3[g]), key1);
            c1[g] = lo1;
            c3[g] = lo0;
        }
        k0 += PHILOX_W32_0;
        k1 += PHILOX_W32_1;
    }
    for (std::size_t g = 0; g < kGroups; ++g) {
        const __m128i w0 = _mm_srli_epi32(c0[g], kDrop), w1 = _mm_srli_epi32(c1[g], kDrop);
        const __m128i w2 = _mm_srli_epi32(c2[g], kDrop), w3 = _mm_srli_epi32(c3[g], kDrop);
        const __m128i a = _mm_unpacklo_epi32(w0, w1), b = _mm_unpacklo_epi32(w2, w3);
        const __m128i c = _mm_unpackhi_epi32(w0, w1), d = _mm_unpackhi_epi32(w2, w3);
        auto* const to = reinterpret_cast<__m128i*>(out + 16 * g);
        _mm_storeu_si128(to, _mm_unpacklo_epi64(a, b));
        _mm_storeu_si128(to + 1, _mm_unpackhi_epi64(a, b));
        _mm_storeu_si128(to + 2, _mm_unpacklo_epi64(c, d));
        _mm_storeu_si128(to + 3, _mm_unpackhi_epi64(c, d));
    }
}
#else
void philoxBlocks(std::uint64_t first, std::uint64_t seed, std::uint32_t* out)
{
    std::uint32_t c0[kLanes], c1[kLanes], c2[kLanes], c3[kLanes];
    for (std::size_t i = 0; i < kLanes; ++i) {
        c0[i] = static_cast<std::uint32_t>(first + i);
        c1[i] = static_cast<std::uint32_t>((first + i) >> 32);
        c2[i] = static_cast<std::uint32_t>(seed);
        c3[i] = static_cast<std::uint32_t>(seed >> 32);
    }
    std::uint32_t k0 = PhiloxSource::kKey[0];
    std::uint32_t k1 = PhiloxSource::kKey[1];
    for (int round = 0; round < 10; ++round) {
        for (std::size_t i = 0; i < kLanes; ++i) {
            const std::uint64_t p0 = std::uint64_t{PHILOX_M4x32_0} * c0[i];
            const std::uint64_t p1 = std::uint64_t{PHILOX_M4x32_1} * c2[i];
            const auto hi0 = static_cast<std::uint32_t>(p0 >> 32);
            const auto hi1 = static_cast<std::uint32_t>(p1 >> 32);
            c0[i] = hi1 ^ c1[i] ^ k0;
            c2[i] = hi0 ^ c3[i] ^ k1;
            c1[i] = static_cast<std::uint32_t>(p1);
            c3[i] = static_cast<std::uint32_t>(p0);
        }
        k0 += PHILOX_W32_0;
        k1 += PHILOX_W32_1;
    }
    for (std::size_t i = 0; i < kLanes; ++i) {
        out[4 * i] = c0[i] >> kDrop;
        out[4 * i + 1] = c1[i] >> kDrop;
        out[4 * i + 2] = c2[i] >> kDrop;
        out[4 * i + 3] = c3[i] >> kDrop;
    }
}

#endif

}  // namespace

void PhiloxSource::bitsAt(std::uint64_t first, std::size_t count, std::uint32_t* out) const
{
    constexpr std::uint64_t kValues = 4 * kLanes;
    std::uint32_t bits[kValues];
    std::uint64_t k = first;
    const std::uint64_t end = first + count;
    while (k < end) {
        const std::uint64_t skip = k % kValues;
        if (skip == 0 && end - k >= kValues) {
            philoxBlocks(k / 4, m_seed, out);
            out += kValues;
            k += kValues;
            continue;
        }
        // A run's dice start anywhere: the ends of a range go through a copy.
        philoxBlocks((k - skip) / 4, m_seed, bits);
        const std::uint64_t take = std::min(kValues - skip, end - k);
        out = std::copy_n(bits + skip, take, out);
        k += take;
    }
}

std::uint64_t freshSeed()
{
    std::random_device system;
    return (std::uint64_t{system()} << 32) | system();
}

}  // namespace tumblecast
