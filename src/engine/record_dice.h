#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "engine/die_source.h"
#include "engine/measured_prefix.h"
#include "engine/record_layout.h"

namespace tumblecast {

// The dice of a run as its record reads them: die j of repetition r is value first + r * dice + j of the
// source. They are read in blocks of kBlockDice, the unit in which a record keeps offsets and renders
// lines.
class RecordDice {
public:
    static constexpr std::uint64_t kBlockDice = 1024;

    RecordDice(const DieSource& source, std::uint64_t first, std::uint64_t dice, std::uint64_t sides)
        : m_source(&source), m_first(first), m_dice(dice), m_sides(sides)
    {
    }

    std::uint64_t blocksPerRepetition() const { return (m_dice + kBlockDice - 1) / kBlockDice; }
    // A record's units: each block of die lines, then the tail.
    std::uint64_t unitsPerRepetition() const { return blocksPerRepetition() + 1; }
    std::uint64_t die(std::uint64_t r, std::uint64_t j) const
    {
        std::uint32_t x = 0;
        m_source->bitsAt(m_first + r * m_dice + j, 1, &x);
        return dieFace(m_sides, x);
    }

    // Calls atBlock(b) before the first die of each block b in [fromBlock, toBlock) of repetition r, and
    // visit(die) for every die, in order.
    template <class AtBlock, class Visit>
    void walk(std::uint64_t r, std::uint64_t fromBlock, std::uint64_t toBlock, AtBlock&& atBlock,
              Visit&& visit) const
    {
        std::array<std::uint32_t, kBlockDice> bits;
        for (std::uint64_t b = fromBlock; b < toBlock; ++b) {
            atBlock(b);
            const std::uint64_t firstDie = b * kBlockDice;
            const std::uint64_t count = std::min(kBlockDice, m_dice - firstDie);
            m_source->bitsAt(m_first + r * m_dice + firstDie, count, bits.data());
            for (std::uint64_t i = 0; i < count; ++i) visit(dieFace(m_sides, bits[i]));
        }
    }

private:
    const DieSource* m_source;
    std::uint64_t m_first;
    std::uint64_t m_dice;
    std::uint64_t m_sides;
};

// Measures repetitions [begin, end) into their room in `into`: each one's sum of modified dice, its
// length in bytes, and where its units after the first start: its blocks after the first, then its tail.
// It touches nothing else, so it may run on any thread. visit(die) sees every die on the way, for whoever
// tallies them in the same pass.
template <class Visit>
void measureRepetitions(const RecordDice& dice, const RecordLayout& layout, std::uint64_t begin,
                        std::uint64_t end, MeasuredStretch& into, Visit&& visit)
{
    const std::uint64_t blocks = dice.blocksPerRepetition();
    std::uint64_t* sums = into.sumAt(begin - into.begin);
    std::uint64_t* bytes = into.bytesAt(begin - into.begin);
    std::uint64_t* starts = into.laterStartsAt(begin - into.begin);
    for (std::uint64_t r = begin; r < end; ++r) {
        std::uint64_t sum = 0;
        std::uint64_t length = 0;
        dice.walk(
            r, 0, blocks,
            [&](std::uint64_t b) {
                if (b > 0) *starts++ = length;
            },
            [&](std::uint64_t die) {
                visit(die);
                sum += layout.modifiedDie(die);
                length += layout.dieLineBytes(die);
            });
        if (blocks > 0) *starts++ = length;  // the tail's
        *sums++ = sum;
        *bytes++ = length + layout.tailBytes(sum);
    }
}

inline void measureRepetitions(const RecordDice& dice, const RecordLayout& layout, std::uint64_t begin,
                               std::uint64_t end, MeasuredStretch& into)
{
    measureRepetitions(dice, layout, begin, end, into, [](std::uint64_t) {});
}

// The sum of the modified dice of repetition r.
std::uint64_t repetitionSum(const RecordDice& dice, const RecordLayout& layout, std::uint64_t r);

}  // namespace tumblecast
