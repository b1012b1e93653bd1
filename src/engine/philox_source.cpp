#include "engine/philox_source.h"

#include <Random123/philox.h>

#include <algorithm>
#include <random>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TUMBLECAST_PHILOX_WIDE 1
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
// Every path computes blocks 16 at a time: a batch of 64 values, lane by lane in block order.
constexpr std::size_t kBatch = 16;
constexpr std::uint64_t kBatchValues = 4 * kBatch;

// Batches from block first on: the top bits of blocks first to first + 16 * batches - 1. The same rounds
// as philoxBlock, whose answers the tests hold every path to.
using BatchFunction = void (*)(std::uint64_t first, std::uint64_t seed, std::size_t batches,
                               std::uint32_t* out);

// The counters' two low words for n blocks from first.
void counterWords(std::uint64_t first, std::size_t n, std::uint32_t* low, std::uint32_t* high)
{
    for (std::size_t i = 0; i < n; ++i) {
        low[i] = static_cast<std::uint32_t>(first + i);
        high[i] = static_cast<std::uint32_t>((first + i) >> 32);
    }
}

void plainBatches(std::uint64_t first, std::uint64_t seed, std::size_t batches, std::uint32_t* out)
{
    for (; batches > 0; --batches, first += kBatch, out += kBatchValues) {
        std::uint32_t c0[kBatch], c1[kBatch], c2[kBatch], c3[kBatch];
        counterWords(first, kBatch, c0, c1);
        std::fill_n(c2, kBatch, static_cast<std::uint32_t>(seed));
        std::fill_n(c3, kBatch, static_cast<std::uint32_t>(seed >> 32));
        std::uint32_t k0 = PhiloxSource::kKey[0];
        std::uint32_t k1 = PhiloxSource::kKey[1];
        for (int round = 0; round < 10; ++round) {
            for (std::size_t i = 0; i < kBatch; ++i) {
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
        for (std::size_t i = 0; i < kBatch; ++i) {
            out[4 * i] = c0[i] >> kDrop;
            out[4 * i + 1] = c1[i] >> kDrop;
            out[4 * i + 2] = c2[i] >> kDrop;
            out[4 * i + 3] = c3[i] >> kDrop;
        }
    }
}

// The vector paths below are the plain rounds on a block per 32-bit lane, written out because compilers do
// not find the widening multiplies. A vector of n 128-bit parts gives block n * (i % 4) + i / 4 lane i, so
// that the 4 x 4 transposes within each part leave whole blocks in order, ready to store.

#if defined(__SSE2__)
void sse2Batches(std::uint64_t first, std::uint64_t seed, std::size_t batches, std::uint32_t* out)
{
    constexpr std::size_t kGroups = kBatch / 4;
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
    for (; batches > 0; --batches, first += kBatch, out += kBatchValues) {
        __m128i c0[kGroups], c1[kGroups], c2[kGroups], c3[kGroups];
        std::uint32_t low[kBatch], high[kBatch];
        counterWords(first, kBatch, low, high);
        for (std::size_t g = 0; g < kGroups; ++g) {
            c0[g] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low + 4 * g));
            c1[g] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high + 4 * g));
            c2[g] = _mm_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(seed)));
            c3[g] = _mm_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(seed >> 32)));
        }
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
}
#endif

#if defined(TUMBLECAST_PHILOX_WIDE)
// Chosen at run time: the Debian package runs on any x86-64.
#define TUMBLECAST_AVX2 __attribute__((target("avx2")))
#define TUMBLECAST_AVX512 __attribute__((target("avx512f")))

TUMBLECAST_AVX2 inline __m256i mulhilo256(__m256i a, __m256i m, __m256i& hi)
{
    const __m256i even = _mm256_mul_epu32(a, m);
    const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(a, 32), m);
    hi = _mm256_blend_epi32(_mm256_shuffle_epi32(even, 0xF5), odd, 0xAA);
    return _mm256_blend_epi32(even, _mm256_shuffle_epi32(odd, 0xA0), 0xAA);
}

TUMBLECAST_AVX2 void avx2Batches(std::uint64_t first, std::uint64_t seed, std::size_t batches,
                                 std::uint32_t* out)
{
    constexpr std::size_t kGroups = kBatch / 8;
    const __m256i m0 = _mm256_set1_epi32(static_cast<int>(PHILOX_M4x32_0));
    const __m256i m1 = _mm256_set1_epi32(static_cast<int>(PHILOX_M4x32_1));
    for (; batches > 0; --batches, first += kBatch, out += kBatchValues) {
        __m256i c0[kGroups], c1[kGroups], c2[kGroups], c3[kGroups];
        // Block first + order + 8g in the low words; where that wraps, one more in the high words.
        const __m256i sign = _mm256_set1_epi32(INT32_MIN);
        const __m256i base = _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(first)));
        const __m256i baseHigh = _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(first >> 32)));
        for (std::size_t g = 0; g < kGroups; ++g) {
            c0[g] = _mm256_add_epi32(base, _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7));
            c0[g] = _mm256_add_epi32(c0[g], _mm256_set1_epi32(static_cast<int>(8 * g)));
            const __m256i wrapped =
                _mm256_cmpgt_epi32(_mm256_xor_si256(base, sign), _mm256_xor_si256(c0[g], sign));
            c1[g] = _mm256_sub_epi32(baseHigh, wrapped);
            c2[g] = _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(seed)));
            c3[g] = _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(seed >> 32)));
        }
        std::uint32_t k0 = PhiloxSource::kKey[0];
        std::uint32_t k1 = PhiloxSource::kKey[1];
        for (int round = 0; round < 10; ++round) {
            const __m256i key0 = _mm256_set1_epi32(static_cast<int>(k0));
            const __m256i key1 = _mm256_set1_epi32(static_cast<int>(k1));
            for (std::size_t g = 0; g < kGroups; ++g) {
                __m256i hi0, hi1;
                const __m256i lo0 = mulhilo256(c0[g], m0, hi0);
                const __m256i lo1 = mulhilo256(c2[g], m1, hi1);
                c0[g] = _mm256_xor_si256(_mm256_xor_si256(hi1, c1[g]), key0);
                c2[g] = _mm256_xor_si256(_mm256_xor_si256(hi0, c3[g]), key1);
                c1[g] = lo1;
                c3[g] = lo0;
            }
            k0 += PHILOX_W32_0;
            k1 += PHILOX_W32_1;
        }
        for (std::size_t g = 0; g < kGroups; ++g) {
            const __m256i w0 = _mm256_srli_epi32(c0[g], kDrop), w1 = _mm256_srli_epi32(c1[g], kDrop);
            const __m256i w2 = _mm256_srli_epi32(c2[g], kDrop), w3 = _mm256_srli_epi32(c3[g], kDrop);
            const __m256i a = _mm256_unpacklo_epi32(w0, w1), b = _mm256_unpacklo_epi32(w2, w3);
            const __m256i c = _mm256_unpackhi_epi32(w0, w1), d = _mm256_unpackhi_epi32(w2, w3);
            auto* const to = reinterpret_cast<__m256i*>(out + 32 * g);
            _mm256_storeu_si256(to, _mm256_unpacklo_epi64(a, b));
            _mm256_storeu_si256(to + 1, _mm256_unpackhi_epi64(a, b));
            _mm256_storeu_si256(to + 2, _mm256_unpacklo_epi64(c, d));
            _mm256_storeu_si256(to + 3, _mm256_unpackhi_epi64(c, d));
        }
    }
}

// GCC 12 warns of the AVX-512 header's own deliberately undefined values.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

TUMBLECAST_AVX512 inline __m512i mulhilo512(__m512i a, __m512i m, __m512i& hi)
{
    const __m512i even = _mm512_mul_epu32(a, m);
    const __m512i odd = _mm512_mul_epu32(_mm512_srli_epi64(a, 32), m);
    hi = _mm512_mask_shuffle_epi32(odd, 0x5555, even, _MM_PERM_DDBB);
    return _mm512_mask_shuffle_epi32(even, 0xAAAA, odd, _MM_PERM_CCAA);
}

// kGroups batches at once: one alone waits on the multiplies.
template <std::size_t kGroups>
TUMBLECAST_AVX512 void avx512Blocks(std::uint64_t first, std::uint64_t seed, std::uint32_t* out)
{
    const __m512i m0 = _mm512_set1_epi32(static_cast<int>(PHILOX_M4x32_0));
    const __m512i m1 = _mm512_set1_epi32(static_cast<int>(PHILOX_M4x32_1));
    __m512i c0[kGroups], c1[kGroups], c2[kGroups], c3[kGroups];
    const __m512i base = _mm512_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(first)));
    const __m512i baseHigh = _mm512_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(first >> 32)));
    for (std::size_t g = 0; g < kGroups; ++g) {
        c0[g] =
            _mm512_add_epi32(base, _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15));
        c0[g] = _mm512_add_epi32(c0[g], _mm512_set1_epi32(static_cast<int>(16 * g)));
        c1[g] = _mm512_mask_add_epi32(baseHigh, _mm512_cmplt_epu32_mask(c0[g], base), baseHigh,
                                      _mm512_set1_epi32(1));
        c2[g] = _mm512_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(seed)));
        c3[g] = _mm512_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(seed >> 32)));
    }
    std::uint32_t k0 = PhiloxSource::kKey[0];
    std::uint32_t k1 = PhiloxSource::kKey[1];
    for (int round = 0; round < 10; ++round) {
        const __m512i key0 = _mm512_set1_epi32(static_cast<int>(k0));
        const __m512i key1 = _mm512_set1_epi32(static_cast<int>(k1));
        for (std::size_t g = 0; g < kGroups; ++g) {
            __m512i hi0, hi1;
            const __m512i lo0 = mulhilo512(c0[g], m0, hi0);
            const __m512i lo1 = mulhilo512(c2[g], m1, hi1);
            c0[g] = _mm512_ternarylogic_epi32(hi1, c1[g], key0, 0x96);  // a ^ b ^ c
            c2[g] = _mm512_ternarylogic_epi32(hi0, c3[g], key1, 0x96);
            c1[g] = lo1;
            c3[g] = lo0;
        }
        k0 += PHILOX_W32_0;
        k1 += PHILOX_W32_1;
    }
    for (std::size_t g = 0; g < kGroups; ++g) {
        const __m512i w0 = _mm512_srli_epi32(c0[g], kDrop), w1 = _mm512_srli_epi32(c1[g], kDrop);
        const __m512i w2 = _mm512_srli_epi32(c2[g], kDrop), w3 = _mm512_srli_epi32(c3[g], kDrop);
        const __m512i a = _mm512_unpacklo_epi32(w0, w1), b = _mm512_unpacklo_epi32(w2, w3);
        const __m512i c = _mm512_unpackhi_epi32(w0, w1), d = _mm512_unpackhi_epi32(w2, w3);
        std::uint32_t* const to = out + 64 * g;
        _mm512_storeu_si512(to, _mm512_unpacklo_epi64(a, b));
        _mm512_storeu_si512(to + 16, _mm512_unpackhi_epi64(a, b));
        _mm512_storeu_si512(to + 32, _mm512_unpacklo_epi64(c, d));
        _mm512_storeu_si512(to + 48, _mm512_unpackhi_epi64(c, d));
    }
}

TUMBLECAST_AVX512 void avx512Batches(std::uint64_t first, std::uint64_t seed, std::size_t batches,
                                     std::uint32_t* out)
{
    constexpr std::size_t kWide = 4;
    for (; batches >= kWide; batches -= kWide, first += kWide * kBatch, out += kWide * kBatchValues)
        avx512Blocks<kWide>(first, seed, out);
    for (; batches > 0; --batches, first += kBatch, out += kBatchValues) avx512Blocks<1>(first, seed, out);
}
#pragma GCC diagnostic pop
#endif

struct Path {
    std::string_view name;
    BatchFunction batches;
    bool (*available)();
};

constexpr Path kPaths[] = {
    {"plain", plainBatches, [] { return true; }},
#if defined(__SSE2__)
    {"sse2", sse2Batches, [] { return true; }},
#endif
#if defined(TUMBLECAST_PHILOX_WIDE)
    {"avx2", avx2Batches, [] { return __builtin_cpu_supports("avx2") != 0; }},
    {"avx512", avx512Batches, [] { return __builtin_cpu_supports("avx512f") != 0; }},
#endif
};

BatchFunction& chosenPath()
{
    static BatchFunction chosen = [] {
#if defined(TUMBLECAST_PHILOX_WIDE)
        __builtin_cpu_init();  // may run before the constructors that would
#endif
        BatchFunction fastest = plainBatches;
        for (const Path& path : kPaths)
            if (path.available()) fastest = path.batches;
        return fastest;
    }();
    return chosen;
}

}  // namespace

std::vector<std::string_view> philoxPaths()
{
    std::vector<std::string_view> names;
    for (const Path& path : kPaths)
        if (path.available()) names.push_back(path.name);
    return names;
}

void usePhiloxPath(std::string_view name)
{
    for (const Path& path : kPaths)
        if (path.name == name && path.available()) chosenPath() = path.batches;
}

void PhiloxSource::bitsAt(std::uint64_t first, std::size_t count, std::uint32_t* out) const
{
    std::uint64_t k = first;
    const std::uint64_t end = first + count;
    // Rerolls and explosions read a value at a time: a batch would be mostly thrown away.
    if (count <= 8) {
        while (k < end) {
            const std::uint64_t block = k / 4;
            const PhiloxCounter words =
                philoxBlock({static_cast<std::uint32_t>(block), static_cast<std::uint32_t>(block >> 32),
                             static_cast<std::uint32_t>(m_seed), static_cast<std::uint32_t>(m_seed >> 32)},
                            kKey);
            for (; k < end && k / 4 == block; ++k) *out++ = words[k % 4] >> kDrop;
        }
        return;
    }
    const BatchFunction batches = chosenPath();
    while (k < end) {
        const std::uint64_t skip = k % 4;
        if (skip == 0 && end - k >= kBatchValues) {
            const std::uint64_t whole = (end - k) / kBatchValues;
            batches(k / 4, m_seed, whole, out);
            out += whole * kBatchValues;
            k += whole * kBatchValues;
            continue;
        }
        // A run's dice start and end anywhere: its ends go through a copy.
        std::uint32_t bits[kBatchValues];
        batches(k / 4, m_seed, 1, bits);
        const std::uint64_t take = std::min(kBatchValues - skip, end - k);
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
