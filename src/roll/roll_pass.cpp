#include "roll/roll_pass.h"

#include <algorithm>
#include <vector>

#include "engine/fan_out.h"
#include "roll/background_priority.h"

namespace tumblecast {

namespace {

// About half a millisecond of dice: short enough to stop at once, long enough that handing a piece over
// and merging its tallies cost nothing.
constexpr std::uint64_t kChunkDice = 1 << 17;
// Pieces a worker may run ahead of the merging, so that it seldom waits for the merging thread's turn on
// a busy core.
constexpr std::size_t kSlotsPerThread = 16;

}  // namespace

const stats::RollExpectation& ExpectationOnce::get() const
{
    std::call_once(m_built,
                   [this] { m_value = std::make_unique<stats::RollExpectation>(m_kind.expectation()); });
    return *m_value;
}

RollPass::RollPass(const RollKind& kind, const ExpectationOnce& expectation, std::function<void()> finished,
                   unsigned threads)
    : m_kind(kind),
      m_expectation(expectation),
      m_finished(std::move(finished)),
      m_measured(kind.unitsPerRepetition())
{
    if (kind.repetitions() == 0) return;
    m_thread = std::thread([this, threads] { run(threads == 0 ? fanOutThreads() : threads); });
}

RollPass::~RollPass() { cancel(); }

void RollPass::cancel()
{
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

stats::RolledSoFar RollPass::snapshot() const
{
    {
        std::lock_guard lock(m_mutex);
        if (m_shared) return *m_shared;
    }
    return stats::nothingRolled(m_expectation.get());
}

const MeasuredStretch* RollPass::measured() const
{
    std::lock_guard lock(m_mutex);
    return m_shared && m_shared->finished ? &m_measured : nullptr;
}

void RollPass::run(unsigned threads)
{
    lowerThisThreadsPriority();
    try {
        const stats::RollExpectation& e = m_expectation.get();
        const std::uint64_t times = m_kind.repetitions();
        const std::uint64_t chunk =
            std::max<std::uint64_t>(1, kChunkDice / std::max<std::uint64_t>(1, m_kind.dicePerRepetition()));
        const std::uint64_t chunks = (times + chunk - 1) / chunk;
        m_measured.makeRoom(0, times);
        {
            std::lock_guard lock(m_mutex);
            m_shared = stats::nothingRolled(e);
        }
        // Each piece is tallied apart in its slot, and merged in order on this thread.
        std::vector<stats::RolledSoFar> slots(kSlotsPerThread * threads, stats::nothingRolled(e));
        const auto span = [&](std::uint64_t k) {
            return std::pair{k * chunk, std::min(times, (k + 1) * chunk)};
        };
        fanOut(
            chunks, threads, slots.size(),
            [&](std::uint64_t k) {
                if (m_stop) return;
                stats::RolledSoFar& slot = slots[k % slots.size()];
                slot.totals.clear();
                slot.faces.clear();
                const auto [begin, end] = span(k);
                m_kind.measure(begin, end, m_measured, slot.faces, slot.totals);
            },
            [&](std::uint64_t k) {
                if (m_stop) return false;
                const stats::RolledSoFar& slot = slots[k % slots.size()];
                const auto [begin, end] = span(k);
                std::lock_guard lock(m_mutex);
                m_shared->totals.merge(slot.totals);
                m_shared->faces.merge(slot.faces);
                m_shared->repetitions += end - begin;
                return true;
            });
        {
            std::lock_guard lock(m_mutex);
            if (m_shared->repetitions != times) return;
            m_shared->finished = true;
        }
        if (m_finished) m_finished();
    } catch (const std::exception&) {
        // Out of memory: the pass ends where it got to, unfinished, and the window keeps what it has.
    }
}

}  // namespace tumblecast
