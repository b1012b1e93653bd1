#include "cli/record_output.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#include <array>
#include <cstdint>
#endif

namespace tumblecast::cli {

namespace {

struct WriteFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void writeAll(std::FILE* out, const char* data, std::size_t size)
{
    errno = 0;
    if (size != 0 && std::fwrite(data, 1, size, out) != size)
        throw WriteFailed(std::strerror(errno ? errno : EIO));
}

char* withoutCarriageReturnsPlain(const char* from, const char* end, char* to)
{
    for (; from < end; ++from) {
        *to = *from;
        to += *from != '\r';
    }
    return to;
}

#if defined(__x86_64__)
// For each set of CRs among 8 bytes (a bit each), the places of the bytes that stay, first to last.
const std::array<std::array<std::uint8_t, 8>, 256> kKeep = [] {
    std::array<std::array<std::uint8_t, 8>, 256> keep{};
    for (unsigned crs = 0; crs < 256; ++crs) {
        std::size_t k = 0;
        for (std::uint8_t i = 0; i < 8; ++i)
            if (!(crs >> i & 1)) keep[crs][k++] = i;
    }
    return keep;
}();

// 16 bytes at a time, each half packed with one shuffle from the table.
__attribute__((target("ssse3,popcnt"))) char* withoutCarriageReturnsShuffled(const char* from,
                                                                             const char* end, char* to)
{
    const __m128i cr = _mm_set1_epi8('\r');
    for (; end - from >= 16; from += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, cr)));
        for (const auto& [half, bits] :
             {std::pair{block, crs & 0xFF}, std::pair{_mm_srli_si128(block, 8), crs >> 8}}) {
            const __m128i order = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kKeep[bits].data()));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(to), _mm_shuffle_epi8(half, order));
            to += 8 - std::popcount(bits);
        }
    }
    return withoutCarriageReturnsPlain(from, end, to);
}
#endif

// Copies [from, end) to `to` without its CRs and returns the end of the copy; `to` needs 8 bytes of room
// past it.
char* withoutCarriageReturns(const char* from, const char* end, char* to)
{
#if defined(__x86_64__)
    static const bool shuffles = __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("popcnt");
    if (shuffles) return withoutCarriageReturnsShuffled(from, end, to);
#endif
    return withoutCarriageReturnsPlain(from, end, to);
}

}  // namespace

std::optional<std::string> writeText(const TextSource& text, bool plainLineEnds, std::FILE* out)
{
    constexpr std::size_t kBuffer = 1 << 20;
    // Half the buffer is filled at most before it is written, and a copy adds at most half: room to spare.
    std::vector<char> buffer(plainLineEnds ? kBuffer + 16 : 0);
    std::size_t used = 0;
    try {
        // To the end without asking size(): that would roll every die once more before the first byte.
        text.forEachPiece(
            TextOffset(), std::numeric_limits<std::uint64_t>::max(), [&](std::string_view piece) {
                if (!plainLineEnds) return writeAll(out, piece.data(), piece.size());
                // The record holds no CR but those of its line ends.
                for (std::size_t from = 0; from < piece.size();) {
                    const std::size_t take = std::min(piece.size() - from, kBuffer / 2);
                    const char* start = piece.data() + from;
                    used = static_cast<std::size_t>(
                        withoutCarriageReturns(start, start + take, buffer.data() + used) - buffer.data());
                    from += take;
                    if (used >= kBuffer / 2) {
                        writeAll(out, buffer.data(), used);
                        used = 0;
                    }
                }
            });
        writeAll(out, buffer.data(), used);
        errno = 0;
        if (std::fflush(out) != 0) throw WriteFailed(std::strerror(errno ? errno : EIO));
    } catch (const WriteFailed& failure) {
        return failure.what();
    }
    return std::nullopt;
}

}  // namespace tumblecast::cli
