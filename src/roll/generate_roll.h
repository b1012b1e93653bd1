#pragma once

#include <memory>

#include "engine/roll_record.h"
#include "roll/roll_kind.h"

namespace tumblecast {

// Generate's roll: dice of one kind, a modifier per die and one on the total, repeated.
class GenerateRoll final : public RollKind {
public:
    GenerateRoll(const RollRequest& request, const DieSource& source, std::uint64_t firstDie);
    // The next run on source, whose dice start at nextDie; nextDie moves past them.
    static std::unique_ptr<GenerateRoll> roll(const RollRequest& request, const DieSource& source,
                                              std::uint64_t& nextDie);

    const RollRecord& record() const { return m_record; }

    const TextSource& text() const override { return m_record; }
    std::uint64_t repetitions() const override { return m_record.request().times; }
    std::uint64_t dicePerRepetition() const override { return m_record.request().dice; }
    stats::RollExpectation expectation() const override;
    std::uint64_t unitsPerRepetition() const override { return m_dice.unitsPerRepetition(); }
    void measure(std::uint64_t begin, std::uint64_t end, MeasuredStretch& into, stats::FaceTally& faces,
                 stats::TotalTally& totals) const override;
    void adopt(const MeasuredStretch& measured) const override { m_record.adopt(measured); }
    std::uint64_t measuredRepetitions() const override { return m_record.measuredRepetitions(); }

private:
    RollRecord m_record;
    // Copies for the pass, which reads no cache of the record's.
    RecordDice m_dice;
    RecordLayout m_layout;
};

}  // namespace tumblecast
