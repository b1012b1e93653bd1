#include "windows/statistics/roll_pass.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include "engine/roll_record.h"

namespace tumblecast {

namespace {

// About a quarter of a millisecond of dice: short enough to stop at once, long enough that merging into
// the shared tallies costs nothing.
constexpr std::uint64_t kChunkDice = 1 << 16;
constexpr int kWorkerNice = 5;

}  // namespace

RollExpectation::RollExpectation(const RollRequest& request)
    : shape(stats::shapeOf(request)),
      distribution(shape),
      totalBins(distribution),
      faceBins(distribution.die())
{
}

RollPass::RollPass(const RollRecord& record, std::function<void()> finished, unsigned threads)
    : m_request(record.request()),
      m_dice(record.dice()),
      m_layout(record.layout()),
      m_finished(std::move(finished))
{
    const std::uint64_t times = m_request.times;
    if (times == 0 || m_request.dice == 0) return;
    m_sums.resize(times);
    m_bytes.resize(times);
    m_blockStarts.resize(times * (m_dice.blocksPerRepetition() - 1));
    m_chunk = std::max<std::uint64_t>(1, kChunkDice / m_request.dice);
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::uint64_t>(threads, (times + m_chunk - 1) / m_chunk));
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
    return {0, stats::TotalTally(e.totalBins, e.distribution.mean()), stats::FaceTally(e.faceBins), false};
}

void RollPass::measureInto(const RollRecord& record) const
{
    if (snapshot().finished) record.adoptMeasured(m_sums, m_bytes, m_blockStarts);
}

void RollPass::work()
{
    // Below the window's thread, so that the window answers first whenever the cores are all busy.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
    try {
        measureAndTally();
    } catch (const std::exception&) {
        // Out of memory: the pass ends where it got to, unfinished, and the window keeps what it has.
    }
    bool last = false;
    {
        std::lock_guard lock(m_mutex);
        last = --m_running == 0 && m_shared && m_shared->repetitions == m_request.times;
        if (last) m_shared->finished = true;
    }
    if (last && m_finished) m_finished();
}

void RollPass::measureAndTally()
{
    const RollExpectation& e = expectation();
    const std::uint64_t perRep = m_dice.blocksPerRepetition() - 1;
    const auto totalModify = static_cast<std::int64_t>(e.shape.totalModify);
    stats::TotalTally totals(e.totalBins, e.distribution.mean());
    stats::FaceTally faces(e.faceBins);
    while (!m_stop) {
        const std::uint64_t begin = m_nextChunk.fetch_add(1) * m_chunk;
        if (begin >= m_request.times) break;
        const std::uint64_t end = std::min(m_request.times, begin + m_chunk);
        measureRepetitions(m_dice, m_layout, begin, end, m_sums.data() + begin, m_bytes.data() + begin,
                           m_blockStarts.data() + begin * perRep,
                           [&faces](std::uint64_t die) { faces.add(die); });
        for (std::uint64_t r = begin; r < end; ++r)
            totals.add(static_cast<std::int64_t>(m_sums[r]) + totalModify);
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
