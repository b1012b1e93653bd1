// Figures for the record of a notation roll, rendered from its dice:
// - construction and the first screen (what the result box shows at once);
// - a line in the middle and the last screen, which measure every repetition before them;
// - the whole record streamed to /dev/null, in MB/s, and the peak memory.
//   bench_notation_record [roll]       (9999x9999d999998 unless given, as large as Generate's largest)
// Beside each wall time is the processor time of all threads.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <variant>

#include <sys/resource.h>

#include "engine/philox_source.h"
#include "notation/parser.h"
#include "notation_record/notation_record.h"
#include "process_figures.h"

using namespace tumblecast;
using bench::cpuSeconds;
using bench::peakKb;
using Clock = std::chrono::steady_clock;

namespace {

template <class Step>
void timed(const char* what, Step&& step)
{
    const auto start = Clock::now();
    const double cpu = cpuSeconds();
    step();
    std::printf("%-34s %9.3f s wall %9.3f s cpu\n", what,
                std::chrono::duration<double>(Clock::now() - start).count(), cpuSeconds() - cpu);
}

void screen(const NotationRecord& record, std::uint64_t first)
{
    for (std::uint64_t k = first; k < std::min(first + 40, record.lineCount()); ++k)
        (void)record.line(LineNumber(k));
}

}  // namespace

int main(int argc, char* argv[])
{
    const char* text = argc > 1 ? argv[1] : "9999x9999d999998";
    notation::Parsed parsed = notation::parse(text);
    if (const auto* problem = std::get_if<notation::Diagnostic>(&parsed)) {
        std::fprintf(stderr, "%s: %s\n", text, problem->message.c_str());
        return 2;
    }
    const PhiloxSource source;
    std::unique_ptr<NotationRecord> record;
    std::printf("%s\n", text);
    timed("construction and the first screen", [&] {
        record =
            std::make_unique<NotationRecord>(std::get<notation::Expression>(std::move(parsed)), source, 0);
        screen(*record, 0);
    });
    timed("lines of the middle screen", [&] { screen(*record, record->lineCount() / 2); });
    timed("offset of the middle line", [&] { (void)record->lineStart(LineNumber(record->lineCount() / 2)); });
    timed("size (measures the rest)", [&] { (void)record->size(); });
    std::uint64_t bytes = 0;
    timed("stream to /dev/null", [&] {
        std::FILE* null = std::fopen("/dev/null", "wb");
        record->forEachPiece(TextOffset(0), record->size(), [&](std::string_view piece) {
            bytes += piece.size();
            std::fwrite(piece.data(), 1, piece.size(), null);
        });
        std::fclose(null);
    });
    std::printf("%llu bytes, peak memory %ld kB\n", static_cast<unsigned long long>(bytes), peakKb());
}
