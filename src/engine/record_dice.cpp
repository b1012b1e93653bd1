#include "engine/record_dice.h"

namespace tumblecast {

std::uint64_t repetitionSum(const RecordDice& dice, const RecordLayout& layout, std::uint64_t r)
{
    std::uint64_t sum = 0;
    dice.walk(
        r, 0, dice.blocksPerRepetition(), [](std::uint64_t) {},
        [&](std::uint64_t die) { sum += layout.modifiedDie(die); });
    return sum;
}

}  // namespace tumblecast
