// Figures for the virtual roll record, in one run:
// - tumblecast-roll's path (a record streamed in large writes) into /dev/null against a plain loop that
// prints
//   every die with printf, in dice per second;
// - the largest roll's record: construction, size(), the last line, a line in the middle;
// - the largest record streamed into a file on tmpfs, in MB/s, and the peak memory it takes.
//   bench_record [repetitions]       (9999 unless given; the printf loop runs a tenth of them)
// Beside each wall time is the processor time of all threads, which other work on the machine does not
// inflate: on an idle machine the wall time is what a user waits.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include <sys/resource.h>

#include "engine/philox_source.h"
#include "engine/roll_record.h"
#include "process_figures.h"

using namespace tumblecast;
using bench::cpuSeconds;
using bench::peakKb;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::uint64_t writeRecord(const TextSource& record, std::FILE* out)
{
    std::uint64_t bytes = 0;
    record.forEachPiece(TextOffset(), ~0ull, [&](std::string_view piece) {
        if (std::fwrite(piece.data(), 1, piece.size(), out) != piece.size()) {
            std::perror("write");
            std::exit(1);
        }
        bytes += piece.size();
    });
    std::fflush(out);
    return bytes;
}

// The baseline: roll each die and print it with printf, as a straightforward program would.
void printfLoop(const RollRequest& request, std::FILE* out)
{
    const PhiloxSource source;
    std::uint64_t k = 0;
    for (std::uint64_t r = 0; r < request.times; ++r) {
        unsigned long long sum = 0;
        for (std::uint64_t d = 0; d < request.dice; ++d) {
            std::uint32_t x = 0;
            source.bitsAt(k++, 1, &x);
            const unsigned long long die = dieFace(request.sides, x);
            std::fprintf(out, "%llu\r\n", die);
            sum += die;
        }
        std::fprintf(out, "\r\nTotal:%llu + %s = %llu\r\n%s\r\n\r\n", sum, request.totalModifyText.c_str(),
                     sum + request.totalModify, kSeparator.data());
    }
    std::fflush(out);
}

}  // namespace

int main(int argc, char* argv[])
{
    const std::uint64_t times = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 9999;
    const long atStart = peakKb();
    std::printf("cores: %u\n\n", std::thread::hardware_concurrency());
    std::FILE* null = std::fopen("/dev/null", "wb");
    if (!null) return 1;

    RollRequest plain{.dice = 9999, .sides = 1000, .times = times};
    auto start = Clock::now();
    double cpu = cpuSeconds();
    const PhiloxSource source;
    const std::uint64_t bytes = writeRecord(RollRecord(plain, source, 0), null);
    const double recordSeconds = secondsSince(start);
    const double recordCpu = cpuSeconds() - cpu;
    const double recordRate = plain.dice * plain.times / recordSeconds;

    RollRequest sample = plain;
    sample.times = std::max<std::uint64_t>(times / 10, 1);
    start = Clock::now();
    cpu = cpuSeconds();
    printfLoop(sample, null);
    const double printfSeconds = secondsSince(start);
    const double printfCpu = cpuSeconds() - cpu;
    const double printfRate = sample.dice * sample.times / printfSeconds;

    std::printf("9999 dice of 1000 sides into /dev/null\n");
    std::printf("  record stream  %5llu repetitions %12.0f dice/s %8.1f MB/s %7.2f s (cpu %.2f s)\n",
                static_cast<unsigned long long>(plain.times), recordRate, bytes / recordSeconds / 1e6,
                recordSeconds, recordCpu);
    std::printf("  printf per die %5llu repetitions %12.0f dice/s %17s %7.2f s (cpu %.2f s)\n",
                static_cast<unsigned long long>(sample.times), printfRate, "", printfSeconds, printfCpu);
    std::printf("  ratio %.1fx (per processor second %.1fx)\n\n", recordRate / printfRate,
                (plain.dice * plain.times / recordCpu) / (sample.dice * sample.times / printfCpu));

    const RollRequest largest = largestRequest(times);
    std::printf("9999 x %llu dice of 999998 sides, modify 999999, total modify 999999\n",
                static_cast<unsigned long long>(times));
    {
        start = Clock::now();
        const RollRecord fresh(largest, source, 0);
        const std::uint64_t middle = fresh.lineCount() / 2;
        const std::string line = fresh.line(LineNumber(middle));
        const double middleSeconds = secondsSince(start);

        start = Clock::now();
        const RollRecord record(largest, source, 0);
        const double constructSeconds = secondsSince(start);
        const std::uint64_t lines = record.lineCount();
        start = Clock::now();
        cpu = cpuSeconds();
        const std::uint64_t size = record.size();
        const double sizeSeconds = secondsSince(start);
        const double sizeCpu = cpuSeconds() - cpu;
        start = Clock::now();
        const std::string last = record.line(LineNumber(lines - 4));
        const double lastSeconds = secondsSince(start);
        start = Clock::now();
        const std::string again = record.line(LineNumber(lines / 3));
        const double randomSeconds = secondsSince(start);
        std::printf("  construct            %10.1f us  (%llu lines)\n", constructSeconds * 1e6,
                    static_cast<unsigned long long>(lines));
        std::printf("  size()               %10.1f ms  (cpu %.1f ms; %.2f GB, all repetitions measured)\n",
                    sizeSeconds * 1e3, sizeCpu * 1e3, size / 1e9);
        std::printf("  last total line      %10.1f us  \"%s\"\n", lastSeconds * 1e6, last.c_str());
        std::printf("  a line, then         %10.1f us  \"%s\"\n", randomSeconds * 1e6, again.c_str());
        std::printf("  middle line, fresh   %10.1f ms  (measures half the repetitions) \"%s\"\n",
                    middleSeconds * 1e3, line.c_str());
    }

    const char* path = "/dev/shm/tumblecast_bench_record.txt";
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::perror(path);
        return 1;
    }
    const long before = peakKb();
    start = Clock::now();
    cpu = cpuSeconds();
    const std::uint64_t written = writeRecord(RollRecord(largest, source, 0), file);
    const double streamSeconds = secondsSince(start);
    const double streamCpu = cpuSeconds() - cpu;
    const long after = peakKb();
    std::fclose(file);
    std::remove(path);
    std::printf("  stream to %s  %.2f GB in %.2f s (cpu %.2f s), %.0f MB/s\n", path, written / 1e9,
                streamSeconds, streamCpu, written / streamSeconds / 1e6);
    std::printf("  peak resident memory: %ld kB at start, %ld kB before the stream, %ld kB after\n", atStart,
                before, after);
    std::fclose(null);
    return 0;
}
