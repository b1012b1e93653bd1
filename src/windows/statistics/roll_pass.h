#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "engine/roll_request.h"
#include "stats/tallies.h"
#include "stats/total_distribution.h"

namespace tumblecast {

// What one repetition of a roll is expected to give, and the bins its dice are tallied in. Built once per
// roll and then only read, by the window and by every worker.
struct RollExpectation {
    explicit RollExpectation(const RollRequest& request);

    stats::RollShape shape;
    stats::TotalDistribution distribution;
    stats::TotalBins totalBins;
    stats::FaceBins faceBins;
};

// What the pass has tallied so far.
struct RolledSoFar {
    std::uint64_t repetitions = 0;
    stats::TotalTally totals;
    stats::FaceTally faces;
    bool finished = false;  // every repetition is in
};

// One pass over the dice of a run shown in the result box, on worker threads, regenerating each die from
// its generator counter: no repetition's dice are stored. Cancelled by cancel() or by its destruction; it
// never makes the window wait longer than one chunk of dice per worker.
class RollPass {
public:
    // The run's first die is value firstCounter of the generator; with no counter there is nothing to
    // regenerate, and the pass expects without tallying. threads 0: one per core.
    RollPass(const RollRequest& request, std::optional<std::uint64_t> firstCounter, unsigned threads = 0);
    ~RollPass();
    RollPass(const RollPass&) = delete;
    RollPass& operator=(const RollPass&) = delete;

    // Built by whichever thread asks first; the others wait for it.
    const RollExpectation& expectation() const;
    const RollRequest& request() const { return m_request; }
    bool tallies() const { return m_first.has_value(); }

    RolledSoFar snapshot() const;
    // Stops the workers and waits for them; what they had tallied stays.
    void cancel();

private:
    void work();
    void tally();

    RollRequest m_request;
    std::optional<std::uint64_t> m_first;
    mutable std::once_flag m_built;
    mutable std::unique_ptr<RollExpectation> m_expectation;

    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_nextChunk{0};
    std::uint64_t m_chunk = 1;  // repetitions a worker takes at a time

    mutable std::mutex m_mutex;  // guards the shared tallies
    std::optional<RolledSoFar> m_shared;
    unsigned m_running = 0;
    std::vector<std::thread> m_workers;
};

}  // namespace tumblecast
