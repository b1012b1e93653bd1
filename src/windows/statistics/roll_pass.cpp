#include "windows/statistics/roll_pass.h"

#include <algorithm>

#include "engine/random_source.h"

namespace tumblecast {

namespace {

// About a quarter of a millisecond of dice: short enough to stop at once, long enough that merging into
// the shared tallies costs nothing.
constexpr std::uint64_t kChunkDice = 1 << 16;

}  // namespace

RollExpectation::RollExpectation(const RollRequest& request)
    : shape(stats::shapeOf(request)),
      distribution(shape),
      totalBins(distribution),
      faceBins(distribution.die())
{
}

RollPass::RollPass(const RollRequest& request, std::optional<std::uint64_t> firstCounter, unsigned threads)
    : m_request(request), m_first(firstCounter)
{
    if (!m_first || m_request.dice == 0 || m_request.times == 0) {
        m_first.reset();
        return;
    }
    m_chunk = std::max<std::uint64_t>(1, kChunkDice / m_request.dice);
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    const std::uint64_t chunks = (m_request.times + m_chunk - 1) / m_chunk;
    threads = static_cast<unsigned>(std::min<std::uint64_t>(threads, chunks));
    m_running = threads;
    for (unsigned i = 0; i < threads; ++i) m_workers.emplace_back([this] { work(); });
}

RollPass::~RollPass() { cancel(); }

const RollExpectation& RollPass::expectation() const
{
    std::call_once(m_built, [this] { m_expectation = std::make_unique<RollExpectation>(m_request); });
    return *m_expectation;
}

void RollPass::cancel()
{
    m_stop = true;
    for (std::thread& worker : m_workers)
        if (worker.joinable()) worker.join();
}

RolledSoFar RollPass::snapshot() const
{
    const RollExpectation& e = expectation();
    std::lock_guard lock(m_mutex);
    if (m_shared) return *m_shared;
    // Nothing tallied yet, or nothing to tally.
    return {0, stats::TotalTally(e.totalBins, e.distribution.mean()), stats::FaceTally(e.faceBins),
            !tallies()};
}

void RollPass::work()
{
    try {
        tally();
    } catch (const std::exception&) {
        // Out of memory: the pass ends where it got to, unfinished, and the window keeps what it has.
    }
    std::lock_guard lock(m_mutex);
    if (--m_running == 0 && m_shared) m_shared->finished = m_shared->repetitions == m_request.times;
}

void RollPass::tally()
{
    const RollExpectation& e = expectation();
    const std::uint64_t dice = m_request.dice;
    const auto added = static_cast<std::int64_t>(dice * e.shape.perDieModify + e.shape.totalModify);
    std::vector<std::uint32_t> bits(dice);
    stats::TotalTally totals(e.totalBins, e.distribution.mean());
    stats::FaceTally faces(e.faceBins);
    while (!m_stop) {
        const std::uint64_t begin = m_nextChunk.fetch_add(1) * m_chunk;
        if (begin >= m_request.times) break;
        const std::uint64_t end = std::min(m_request.times, begin + m_chunk);
        for (std::uint64_t r = begin; r < end; ++r) {
            PhiloxSource::bitsAt(*m_first + r * dice, dice, bits.data());
            totals.add(static_cast<std::int64_t>(faces.addRolled(bits.data(), dice)) + added);
        }
        std::lock_guard lock(m_mutex);
        if (!m_shared)
            m_shared = RolledSoFar{0, totals, faces, false};
        else {
            m_shared->totals.merge(totals);
            m_shared->faces.merge(faces);
        }
        m_shared->repetitions += end - begin;
        totals = stats::TotalTally(e.totalBins, e.distribution.mean());
        faces = stats::FaceTally(e.faceBins);
    }
}

}  // namespace tumblecast
