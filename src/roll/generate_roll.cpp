#include "roll/generate_roll.h"

namespace tumblecast {

GenerateRoll::GenerateRoll(const RollRequest& request, const DieSource& source, std::uint64_t firstDie)
    : m_record(request, source, firstDie), m_dice(m_record.dice()), m_layout(m_record.layout())
{
}

std::unique_ptr<GenerateRoll> GenerateRoll::roll(const RollRequest& request, const DieSource& source,
                                                 std::uint64_t& nextDie)
{
    auto roll = std::make_unique<GenerateRoll>(request, source, nextDie);
    nextDie += roll->m_record.diceCount();
    return roll;
}

stats::RollExpectation GenerateRoll::expectation() const
{
    return stats::expectationOf(stats::shapeOf(m_record.request()));
}

// The pass's inner loop. Flattened, and tallying into a tally of its own: its counts and its bin rule then
// stay in registers instead of being read again after every count, which costs a third of the pass.
[[gnu::flatten]] void GenerateRoll::measure(std::uint64_t begin, std::uint64_t end, MeasuredStretch& into,
                                            stats::FaceTally& faces, stats::TotalTally& totals) const
{
    stats::FaceTally tally = faces;
    measureRepetitions(m_dice, m_layout, begin, end, into, [&tally](std::uint64_t die) { tally.add(die); });
    faces = tally;
    const auto totalModify = static_cast<std::int64_t>(m_record.request().totalModify);
    for (std::uint64_t r = begin; r < end; ++r)
        totals.add(static_cast<std::int64_t>(*into.sumAt(r - into.begin)) + totalModify);
}

}  // namespace tumblecast
