#include "cli/record_output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

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

}  // namespace

std::optional<std::string> writeText(const TextSource& text, bool plainLineEnds, std::FILE* out)
{
    std::vector<char> buffer;
    if (plainLineEnds) buffer.reserve(1 << 20);
    try {
        text.forEachPiece(TextOffset(), text.size(), [&](std::string_view piece) {
            if (!plainLineEnds) return writeAll(out, piece.data(), piece.size());
            // The record holds no CR but those of its line ends.
            for (const char c : piece) {
                if (c != '\r') buffer.push_back(c);
                if (buffer.size() == buffer.capacity()) {
                    writeAll(out, buffer.data(), buffer.size());
                    buffer.clear();
                }
            }
        });
        writeAll(out, buffer.data(), buffer.size());
        errno = 0;
        if (std::fflush(out) != 0) throw WriteFailed(std::strerror(errno ? errno : EIO));
    } catch (const WriteFailed& failure) {
        return failure.what();
    }
    return std::nullopt;
}

}  // namespace tumblecast::cli
