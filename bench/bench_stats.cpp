// The statistics of the largest roll (9999 dice of 999998 sides, 9999 times, modifiers 999999): the
// expected side, the exact limit, and the whole pass over every die on two threads with and without the
// tallies, so that their cost per die shows.
//   bench_stats [threads]
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "engine/philox_source.h"
#include "stats/stats_text.h"

using namespace tumblecast;
using namespace tumblecast::stats;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void timeDistribution(const char* name, const RollShape& shape)
{
    const auto start = Clock::now();
    const double cpuStart = threadSeconds();
    const TotalDistribution dist(shape);
    const TotalBins bins(dist);
    const auto rows = expectedRows(dist);
    const double cpu = threadSeconds() - cpuStart;
    const double seconds = secondsSince(start);
    std::printf("%-34s %7.1f ms (%6.1f ms of CPU)  %s, %zu bins, %zu rows\n", name, seconds * 1e3, cpu * 1e3,
                methodText(dist).c_str(), bins.size(), rows.size());
}

// Repetitions first to end of one thread, as the background pass makes them; with or without tallies.
template <bool kTally>
std::uint64_t passPart(const RollShape& s, std::uint64_t first, std::uint64_t end, TotalTally& totals,
                       FaceTally& faces)
{
    std::vector<std::uint32_t> bits(s.dice);
    std::uint64_t check = 0;
    for (std::uint64_t r = first; r < end; ++r) {
        PhiloxSource().bitsAt(r * s.dice, s.dice, bits.data());
        std::uint64_t sum = 0;
        for (const std::uint32_t x : bits) {
            const std::uint64_t face = dieFace(s.sides, x);
            if constexpr (kTally) faces.add(face);
            sum += face;
        }
        const auto total = static_cast<std::int64_t>(sum + s.dice * s.perDieModify + s.totalModify);
        if constexpr (kTally) totals.add(total);
        check += static_cast<std::uint64_t>(total);
    }
    return check;
}

struct PassTimes {
    double wall = 0;
    double busiestThread = 0;  // CPU seconds: the wall time on otherwise idle cores
};

template <bool kTally>
PassTimes timePass(const RollShape& s, unsigned threads, const TotalBins& totalBins, const FaceBins& faceBins,
                   double centre, Fairness* fairness)
{
    const auto start = Clock::now();
    std::vector<TotalTally> totals(threads, TotalTally(totalBins, centre));
    std::vector<FaceTally> faces(threads, FaceTally(faceBins));
    std::vector<std::thread> workers;
    std::vector<std::uint64_t> checks(threads);
    std::vector<double> cpu(threads);
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            const double begin = threadSeconds();
            checks[t] =
                passPart<kTally>(s, s.times * t / threads, s.times * (t + 1) / threads, totals[t], faces[t]);
            cpu[t] = threadSeconds() - begin;
        });
    for (auto& w : workers) w.join();
    for (unsigned t = 1; t < threads; ++t) {
        totals[0].merge(totals[t]);
        faces[0].merge(faces[t]);
    }
    if (fairness) *fairness = judgeFairness(totalBins, totals[0], faceBins, faces[0]);
    PassTimes times{secondsSince(start), 0};
    std::uint64_t check = 0;
    for (unsigned t = 0; t < threads; ++t) {
        check += checks[t];
        times.busiestThread = std::max(times.busiestThread, cpu[t]);
    }
    std::printf("pass %s tallies: %.3f s wall, busiest thread %.3f s of CPU (checksum %llu)\n",
                kTally ? "with   " : "without", times.wall, times.busiestThread,
                static_cast<unsigned long long>(check));
    return times;
}

}  // namespace

int main(int argc, char** argv)
{
    const unsigned threads = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 2;
    timeDistribution("3D6", {3, 6, 0, 0, 9999});
    timeDistribution("9999D100 (exact in a window)", {9999, 100, 0, 0, 9999});
    timeDistribution("9999D2000 (past the window)", {9999, 2000, 0, 0, 9999});
    timeDistribution("9999D53 (exact, 519949 totals)", {9999, 53, 0, 0, 9999});
    timeDistribution("10D52429 (exact, 2^19 totals)", {10, 52429, 0, 0, 9999});
    timeDistribution("10D52430 (just past exact)", {10, 52430, 0, 0, 9999});
    timeDistribution("3D999998", {3, 999998, 0, 0, 9999});
    const RollShape largest{9999, 999998, 999999, 999999, 9999};
    timeDistribution("largest roll", largest);

    const TotalDistribution dist(largest);
    const TotalBins totalBins(dist);
    const FaceBins faceBins(dist.die());
    const long before = peakKilobytes();
    const PassTimes plain = timePass<false>(largest, threads, totalBins, faceBins, dist.mean(), nullptr);
    Fairness fairness;
    const PassTimes tallied = timePass<true>(largest, threads, totalBins, faceBins, dist.mean(), &fairness);
    const double dice = static_cast<double>(largest.dice * largest.times);
    std::printf(
        "%u threads, %.0f dice: tallies cost %.2f ns of CPU per die; the pass would take %.3f s on %u "
        "idle cores\n",
        threads, dice, (tallied.busiestThread - plain.busiestThread) * threads / dice * 1e9,
        tallied.busiestThread, threads);
    std::printf("tally memory: %zu total bins, %zu face bins; peak memory grew by %ld kB during the passes\n",
                totalBins.size(), faceBins.size(), peakKilobytes() - before);
    std::printf("verdict: %s (totals p %s, faces p %s)\n", verdictText(fairness).c_str(),
                formatPValue(fairness.totals.pValue).c_str(), formatPValue(fairness.faces.pValue).c_str());
}
