#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/measured_prefix.h"
#include "engine/record_dice.h"
#include "engine/record_layout.h"
#include "engine/roll_request.h"
#include "engine/text_source.h"

namespace tumblecast {

// The record of a run, rendered on demand from its dice instead of stored: die j of repetition r is value
// firstDie + r * dice + j of the source. The record learns each repetition's sum and byte offset when first
// asked for something there, and keeps, per repetition, the offset of every die block (RecordDice): the
// largest roll, 9999 x 9999 dice and 2.7 GB of text, keeps under a megabyte.
//
// What calls cost:
// - construction, empty(), lineCount(), longestLine(), and a die line and its length: O(1);
// - a total line and its length: one pass over its repetition's dice, unless that one is measured;
// - the first call that needs an offset in repetition r (lineStart, lineAt, slice, forEachPiece, and a
//   total line's length) measures every repetition up to r that is not yet measured: one pass over their
//   dice, shared among the cores when it is long. size() and offsets near the end measure them all;
// - then finding a line renders at most one die block, and the last one so found is kept, so the lines of
//   one screen cost one block.
// forEachPiece renders ahead on every core while the sink takes the pieces in order on the calling
// thread, and measures the repetitions it passes on the way; a sink that throws ends the stream.
//
// The const calls fill these caches: use a record from one thread at a time. The source must outlive it.
class RollRecord final : public TextSource {
public:
    // A record whose first die is value firstDie of source.
    RollRecord(const RollRequest& request, const DieSource& source, std::uint64_t firstDie);
    // The record of the next run on source, whose dice start at nextDie; nextDie moves past them.
    static std::unique_ptr<RollRecord> roll(const RollRequest& request, const DieSource& source,
                                            std::uint64_t& nextDie);

    // Every die of every repetition: the source values the run takes.
    std::uint64_t diceCount() const { return m_layout.dice() * m_times; }
    // Repetitions 0 to measuredRepetitions() - 1 have their sums and offsets known.
    std::uint64_t measuredRepetitions() const { return m_prefix.count(); }

    // What a pass over the record on another thread needs: copies of these, used with measureRepetitions
    // into a stretch of dice().unitsPerRepetition() units.
    const RollRequest& request() const { return m_request; }
    const RecordDice& dice() const { return m_dice; }
    const RecordLayout& layout() const { return m_layout; }
    // Takes repetitions measured elsewhere, from the first not measured here on: a far offset then costs a
    // search instead of a pass over the dice.
    void adopt(const MeasuredStretch& measured) const { m_prefix.adopt(measured); }

    bool empty() const override { return m_times == 0; }
    std::string line(LineNumber k) const override;

    std::uint64_t size() const override;
    std::uint64_t lineCount() const override { return m_times * m_layout.linesPerRepetition() + 1; }
    TextOffset lineStart(LineNumber k) const override;
    std::uint64_t lineLength(LineNumber k) const override;
    // An upper bound from the request, not the exact longest line, which would need every die: enough for
    // a horizontal scroll range.
    std::uint64_t longestLine() const override { return m_layout.longestLine(); }
    LineNumber lineAt(TextOffset offset) const override;
    std::string slice(TextOffset offset, std::uint64_t length) const override;
    void forEachPiece(TextOffset offset, std::uint64_t length, const PieceSink& sink) const override;

private:
    // The die lines of one block of a repetition, rendered.
    struct DieBlock {
        std::uint64_t repetition = ~0ull;
        std::uint64_t index = 0;
        std::string text;
        std::vector<std::uint32_t> lineStarts;  // one past the last die: the block's end
    };

    std::uint64_t blocksPerRepetition() const { return m_dice.blocksPerRepetition(); }

    std::uint64_t sumOf(std::uint64_t r) const;  // without measuring the repetitions before r
    void measureUpTo(std::uint64_t reps) const;
    // The repetition holding offset, measured; the repetition count when offset is at or past the end.
    std::uint64_t repetitionAt(std::uint64_t offset) const;
    std::uint64_t diceBytes(std::uint64_t r) const;
    std::uint64_t blockStart(std::uint64_t r, std::uint64_t b) const;
    std::uint64_t blockAt(std::uint64_t r, std::uint64_t offsetInRep) const;
    const DieBlock& dieBlock(std::uint64_t r, std::uint64_t b) const;

    // Streaming (roll_record_stream.cpp) goes by units: unit r * (blocks + 1) + b is die block b of
    // repetition r, and b == blocks its tail.
    struct Rendered;
    std::uint64_t streamUnitAt(std::uint64_t offset) const;
    std::uint64_t streamUnitStart(std::uint64_t unit) const;
    void render(std::uint64_t begin, std::uint64_t end, const std::vector<std::uint64_t>& knownSums,
                Rendered& out) const;

    RollRequest m_request;
    RecordLayout m_layout;
    RecordDice m_dice;
    std::uint64_t m_times;

    mutable MeasuredPrefix m_prefix;
    mutable DieBlock m_block;
};

}  // namespace tumblecast
