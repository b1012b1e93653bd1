#include "cli/record_output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
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
    constexpr std::size_t kBuffer = 1 << 20;
    std::vector<char> buffer(plainLineEnds ? kBuffer : 0);
    std::size_t used = 0;
    try {
        // To the end without asking size(): that would roll every die once more before the first byte.
        text.forEachPiece(TextOffset(), std::numeric_limits<std::uint64_t>::max(),
                          [&](std::string_view piece) {
                              if (!plainLineEnds) return writeAll(out, piece.data(), piece.size());
                              // The record holds no CR but those of its line ends. Every byte is stored and a
                              // CR is then written over: no branch on the byte, which keeps this at the speed
                              // of the record itself.
                              for (std::size_t from = 0; from < piece.size();) {
                                  const std::size_t take = std::min(piece.size() - from, kBuffer - used);
                                  char* to = buffer.data() + used;
                                  for (const char c : piece.substr(from, take)) {
                                      *to = c;
                                      to += c != '\r';
                                  }
                                  used = static_cast<std::size_t>(to - buffer.data());
                                  from += take;
                                  if (kBuffer - used < kBuffer / 2) {
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
