#include "cli/record_output.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
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

// Copies [from, end) to `to` without its CRs and returns the end of the copy; `to` needs 16 bytes of room
// past it. The record's lines are a few bytes long, so this copies the runs between CRs 16 bytes at a time,
// each store overwriting what the one before wrote past its run.
char* withoutCarriageReturns(const char* from, const char* end, char* to)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const auto copy16 = [](char* at, const char* source) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(source)));
    };
    // Each block's last run reads up to 16 bytes past the block.
    while (end - from >= 32) {
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)), cr)));
        unsigned start = 0;
        while (mask != 0) {
            const auto at = static_cast<unsigned>(std::countr_zero(mask));
            copy16(to, from + start);
            to += at - start;
            start = at + 1;
            mask &= mask - 1;
        }
        copy16(to, from + start);
        to += 16 - start;
        from += 16;
    }
#endif
    for (; from < end; ++from) {
        *to = *from;
        to += *from != '\r';
    }
    return to;
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
