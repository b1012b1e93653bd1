#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "roll/roll_kind.h"

namespace tumblecast {

// A roll's expectation, built by whichever thread asks first; the others wait for it.
class ExpectationOnce {
public:
    explicit ExpectationOnce(const RollKind& kind) : m_kind(kind) {}
    const stats::RollExpectation& get() const;

private:
    const RollKind& m_kind;
    mutable std::once_flag m_built;
    mutable std::unique_ptr<stats::RollExpectation> m_value;
};

// One pass over the dice of a roll, in the background, after each Generate: it measures every repetition
// for the record (so that a far offset needs no pass of its own) and tallies the dice for the statistics,
// from one reading of each die, shared among the cores by the engine's fan-out. Cancelled by cancel() or by
// its destruction, which wait at most for one piece of dice per core.
class RollPass {
public:
    // finished runs on the pass's own thread once every repetition is in; threads 0: one per core.
    RollPass(const RollKind& kind, const ExpectationOnce& expectation, std::function<void()> finished = {},
             unsigned threads = 0);
    ~RollPass();
    RollPass(const RollPass&) = delete;
    RollPass& operator=(const RollPass&) = delete;

    stats::RolledSoFar snapshot() const;
    // Every repetition measured, once the pass has finished; else nothing.
    const MeasuredStretch* measured() const;
    // Stops the pass and waits for it; what it had tallied stays.
    void cancel();

private:
    void run(unsigned threads);

    const RollKind& m_kind;
    const ExpectationOnce& m_expectation;
    std::function<void()> m_finished;
    MeasuredStretch m_measured;  // each repetition written by the worker that measured it
    std::atomic<bool> m_stop{false};

    mutable std::mutex m_mutex;  // guards m_shared
    std::optional<stats::RolledSoFar> m_shared;
    std::thread m_thread;
};

}  // namespace tumblecast
