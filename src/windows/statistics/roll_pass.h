#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "engine/record_dice.h"
#include "engine/record_layout.h"
#include "engine/roll_request.h"
#include "stats/tallies.h"
#include "stats/total_distribution.h"

namespace tumblecast {

class RollRecord;

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

// One pass over the dice of a record, on worker threads, after each Generate: it measures every
// repetition for the record (so that a far offset needs no pass of its own) and tallies the dice for the
// statistics, from one reading of each die. Cancelled by cancel() or by its destruction, which wait at
// most for one chunk of dice per worker.
class RollPass {
public:
    // finished runs on a worker once every repetition is in; threads 0: one per core.
    explicit RollPass(const RollRecord& record, std::function<void()> finished = {}, unsigned threads = 0);
    ~RollPass();
    RollPass(const RollPass&) = delete;
    RollPass& operator=(const RollPass&) = delete;

    // Built by whichever thread asks first; the others wait for it.
    const RollExpectation& expectation() const;
    const RollRequest& request() const { return m_request; }

    RolledSoFar snapshot() const;
    // Once finished, gives record (the one the pass was made from) what the pass measured.
    void measureInto(const RollRecord& record) const;
    // Stops the workers and waits for them; what they had tallied stays.
    void cancel();

private:
    void work();
    void measureAndTally();

    RollRequest m_request;
    RecordDice m_dice;
    RecordLayout m_layout;
    std::function<void()> m_finished;
    mutable std::once_flag m_built;
    mutable std::unique_ptr<RollExpectation> m_expectation;

    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_nextChunk{0};
    std::uint64_t m_chunk = 1;  // repetitions a worker takes at a time
    // What the record learns, each repetition written by the worker that measured it.
    std::vector<std::uint64_t> m_sums;
    std::vector<std::uint64_t> m_bytes;
    std::vector<std::uint64_t> m_blockStarts;

    mutable std::mutex m_mutex;  // guards what follows
    std::optional<RolledSoFar> m_shared;
    unsigned m_running = 0;
    std::vector<std::thread> m_workers;
};

}  // namespace tumblecast
