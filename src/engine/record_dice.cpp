#include "engine/record_dice.h"

namespace tumblecast {

void measureRepetitions(const RecordDice& dice, const RecordLayout& layout, std::uint64_t begin,
                        std::uint64_t end, std::uint64_t* sums, std::uint64_t* bytes,
                        std::uint64_t* blockStarts)
{
    const std::uint64_t blocks = dice.blocksPerRepetition();
    for (std::uint64_t r = begin; r < end; ++r) {
        std::uint64_t sum = 0;
        std::uint64_t length = 0;
        dice.walk(
            r, 0, blocks,
            [&](std::uint64_t b) {
                if (b > 0) *blockStarts++ = length;
            },
            [&](std::uint64_t die) {
                sum += layout.modifiedDie(die);
                length += layout.dieLineBytes(die);
            });
        *sums++ = sum;
        *bytes++ = length + layout.tailBytes(sum);
    }
}

std::uint64_t repetitionSum(const RecordDice& dice, const RecordLayout& layout, std::uint64_t r)
{
    std::uint64_t sum = 0;
    dice.walk(
        r, 0, dice.blocksPerRepetition(), [](std::uint64_t) {},
        [&](std::uint64_t die) { sum += layout.modifiedDie(die); });
    return sum;
}

}  // namespace tumblecast
