#pragma once

#include <memory>

#include "notation_record/notation_record.h"
#include "roll/roll_kind.h"

namespace tumblecast {

// A roll in dice notation as the roll shown: its record, its odds (stats::ExpressionOdds), and a pass that
// measures the record and tallies each repetition's total and the faces of its dice. The faces tested are
// those of the dice of the sides most dice have (a fudge die counts as three-sided): one fair die to hold
// them against.
class NotationRoll final : public RollKind {
public:
    NotationRoll(notation::Expression expression, const DieSource& source, std::uint64_t firstValue);
    // The next roll on source, whose values start at nextValue; nextValue moves past them.
    static std::unique_ptr<NotationRoll> roll(notation::Expression expression, const DieSource& source,
                                              std::uint64_t& nextValue);

    const NotationRecord& record() const { return m_record; }
    std::uint64_t facesSides() const { return m_facesSides; }

    const TextSource& text() const override { return m_record; }
    std::uint64_t repetitions() const override { return m_record.repetitions(); }
    std::uint64_t dicePerRepetition() const override { return m_dice; }
    stats::RollExpectation expectation() const override;
    std::uint64_t unitsPerRepetition() const override { return 1; }
    void measure(std::uint64_t begin, std::uint64_t end, MeasuredStretch& into, stats::FaceTally& faces,
                 stats::TotalTally& totals) const override;
    void adopt(const MeasuredStretch& measured) const override { m_record.adopt(measured); }
    std::uint64_t measuredRepetitions() const override { return m_record.measuredRepetitions(); }

private:
    NotationRecord m_record;
    std::uint64_t m_facesSides = 1;
    std::uint64_t m_dice = 0;  // first rolls a repetition takes
    bool m_mixed = false;      // dice of more than one number of sides
};

}  // namespace tumblecast
