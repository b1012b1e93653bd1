#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/roll_request.h"
#include "engine/text_source.h"

namespace tumblecast {

class PhiloxSource;

// The record of a run, rendered on demand from the generator's counters instead of stored: die j of
// repetition r is value firstCounter + r * dice + j of the generator's life. The record learns each
// repetition's sum and byte offset when first asked for something there, and keeps, per repetition, the
// offset of every kBlockDice-th die line: the largest roll, 9999 x 9999 dice and 2.7 GB of text, keeps
// under a megabyte.
//
// What calls cost:
// - construction, empty(), lineCount(), longestLine(), and a die line and its length: O(1);
// - a total line and its length: one pass over its repetition's dice, unless that one is measured;
// - the first call that needs an offset in repetition r (lineStart, lineAt, slice, forEachPiece, and a
//   total line's length) measures every repetition up to r that is not yet measured: one pass over their
//   dice, shared among the cores when it is long. size() and offsets near the end measure them all;
// - then finding a line regenerates at most kBlockDice dice, and the last block so found is kept, so the
//   lines of one screen cost one block.
// forEachPiece renders ahead on every core while the sink takes the pieces in order on the calling
// thread, and measures the repetitions it passes on the way; a sink that throws ends the stream.
//
// The const calls fill these caches: use a record from one thread at a time.
class RollRecord final : public TextSource {
public:
    static constexpr std::uint64_t kBlockDice = 1024;

    // A record whose first die is value firstCounter of the generator.
    RollRecord(RollRequest request, std::uint64_t firstCounter);
    // The record of a run of request on source, which moves on past the run's dice as a rolled run would.
    static std::unique_ptr<RollRecord> roll(const RollRequest& request, PhiloxSource& source);

    const RollRequest& request() const { return m_request; }
    std::uint64_t firstCounter() const { return m_first; }
    // Every die of every repetition: the generator values the run takes.
    std::uint64_t diceCount() const { return m_request.dice * m_request.times; }
    // The sum of the modified dice of repetition r, without the total modifier.
    std::uint64_t sum(std::uint64_t r) const;
    // Repetitions 0 to measuredRepetitions() - 1 have their sums and offsets known.
    std::uint64_t measuredRepetitions() const { return m_measured; }

    bool empty() const override { return m_request.times == 0; }
    std::string line(std::uint64_t k) const override;

    std::uint64_t size() const override;
    std::uint64_t lineCount() const override;
    std::uint64_t lineStart(std::uint64_t k) const override;
    std::uint64_t lineLength(std::uint64_t k) const override;
    // An upper bound from the request (the largest die and the largest possible sum), not the exact
    // longest line, which would need every die: enough for a horizontal scroll range.
    std::uint64_t longestLine() const override { return m_longest; }
    std::uint64_t lineAt(std::uint64_t offset) const override;
    std::string slice(std::uint64_t offset, std::uint64_t length) const override;
    void forEachPiece(std::uint64_t offset, std::uint64_t length, const PieceSink& sink) const override;

private:
    struct Block {
        std::uint64_t rep = ~0ull;
        std::uint64_t index = 0;
        std::string text;
        std::vector<std::uint32_t> lineStarts;  // one past the last die: the block's end
    };

    std::uint64_t dieAt(std::uint32_t bits) const;
    std::uint64_t dieLineBytes(std::uint64_t die) const;
    char* writeDieLine(char* out, std::uint64_t die) const;
    std::uint64_t totalLineLength(std::uint64_t sum) const;
    std::uint64_t totalBlockBytes(std::uint64_t sum) const { return totalLineLength(sum) + 40; }

    // sum(r) without measuring the repetitions before r.
    std::uint64_t sumOf(std::uint64_t r) const;
    void measure(std::uint64_t r, std::uint64_t& sum, std::uint64_t& bytes, std::uint64_t* blockStarts) const;
    void measureUpTo(std::uint64_t reps) const;
    // The repetition holding offset, measured; the repetition count when offset is at or past the end.
    std::uint64_t repetitionAt(std::uint64_t offset) const;
    std::uint64_t diceBytes(std::uint64_t r) const;
    std::uint64_t blockStart(std::uint64_t r, std::uint64_t b) const;
    std::uint64_t blockAt(std::uint64_t r, std::uint64_t offsetInRep) const;
    const Block& block(std::uint64_t r, std::uint64_t b) const;

    struct Rendered;
    std::uint64_t unitAt(std::uint64_t offset) const;
    void render(std::uint64_t begin, std::uint64_t end, const std::vector<std::uint64_t>& knownSums,
                Rendered& out) const;
    void keep(const Rendered& rendered) const;

    RollRequest m_request;
    std::uint64_t m_first;
    std::uint64_t m_sumModify;   // what each die adds to the sum besides itself
    std::string m_dieMiddle;     // " + modifier = " on the per-die branch
    std::uint64_t m_maxDieLine;  // for any number
    std::uint64_t m_dieLineMax;  // for this request's dice
    std::uint64_t m_blocksPerRep;
    std::uint64_t m_longest;

    mutable std::uint64_t m_measured = 0;  // repetitions 0 to m_measured - 1
    mutable std::vector<std::uint64_t> m_sums;
    mutable std::vector<std::uint64_t> m_starts{0};    // m_measured + 1 offsets
    mutable std::vector<std::uint64_t> m_blockStarts;  // blocks 1.. of each repetition, from its start
    mutable Block m_block;
};

}  // namespace tumblecast
