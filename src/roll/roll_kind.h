#pragma once

#include <cstdint>

#include "engine/measured_prefix.h"
#include "engine/text_source.h"
#include "stats/roll_report.h"

namespace tumblecast {

// A kind of roll the result box shows and the statistics read: a record rendered on demand from the die
// source, and how its repetitions are read. Generate's record is one kind; a dice-notation roll is another.
//
// The background pass calls measure() on its worker threads while the window reads text() and calls
// adopt(): measure() must touch nothing that text() changes.
class RollKind {
public:
    virtual ~RollKind() = default;

    // What the result box shows.
    virtual const TextSource& text() const = 0;
    virtual std::uint64_t repetitions() const = 0;
    // About how many dice one repetition reads, to share a pass out in even pieces.
    virtual std::uint64_t dicePerRepetition() const = 0;
    // What one repetition's total is expected to be: its distribution, the bins of totals and faces, and
    // the words that name the roll. Called once per roll, on any thread.
    virtual stats::RollExpectation expectation() const = 0;

    // The units a repetition of the record is measured in (MeasuredStretch::units).
    virtual std::uint64_t unitsPerRepetition() const = 0;
    // Reads each die of repetitions [begin, end) once: measures them into their room in `into`, adds every
    // die read to faces (dropped ones too: they were rolled) and every repetition's total to totals.
    virtual void measure(std::uint64_t begin, std::uint64_t end, MeasuredStretch& into,
                         stats::FaceTally& faces, stats::TotalTally& totals) const = 0;
    // On the thread that reads text(): the record takes repetitions measured by measure().
    virtual void adopt(const MeasuredStretch& measured) const = 0;
    virtual std::uint64_t measuredRepetitions() const = 0;
};

}  // namespace tumblecast
