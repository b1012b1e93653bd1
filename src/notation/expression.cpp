#include "notation/expression.h"

#include <algorithm>

#include "engine/die_source.h"
#include "notation/limits.h"

namespace tumblecast::notation {

FaceRun matchingFaces(const Comparison& c, std::int64_t lowest, std::int64_t highest)
{
    FaceRun run{lowest, highest};
    switch (c.op) {
        case Comparison::Op::Equal:
            run = {c.value, c.value};
            break;
        case Comparison::Op::Less:
            run.last = c.value - 1;
            break;
        case Comparison::Op::LessEqual:
            run.last = c.value;
            break;
        case Comparison::Op::Greater:
            run.first = c.value + 1;
            break;
        case Comparison::Op::GreaterEqual:
            run.first = c.value;
            break;
    }
    return {std::max(run.first, lowest), std::min(run.last, highest)};
}

std::uint64_t DiceTerm::rerollRoom() const
{
    if (!reroll) return 0;
    return rerollOnce ? 1 : kRerollCap;
}

std::uint64_t DiceTerm::explodeRoom() const { return explode ? kExplodeCap : 0; }

std::uint64_t Expression::stride() const
{
    std::uint64_t values = 0;
    for (const Term& term : terms)
        if (term.dice) values += term.dice->count * term.dice->valuesPerDie();
    return values;
}

std::uint64_t Expression::firstRollOffset(std::size_t t) const
{
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < t; ++i)
        if (terms[i].dice) offset += terms[i].dice->count;
    return offset;
}

std::uint64_t Expression::roomOffset(std::size_t t) const
{
    std::uint64_t offset = firstRollOffset(terms.size());
    for (std::size_t i = 0; i < t; ++i)
        if (terms[i].dice) offset += terms[i].dice->count * (terms[i].dice->valuesPerDie() - 1);
    return offset;
}

namespace {

struct Range {
    std::int64_t lo;
    std::int64_t hi;
};

// One die's value: its last first roll and its explosions, each explosion's roll a fresh die.
Range dieRange(const DiceTerm& die)
{
    const std::int64_t lowest = die.lowestFace(), highest = die.highestFace();
    if (!die.explode) return {lowest, highest};
    const FaceRun hits = matchingFaces(*die.explode, lowest, highest);
    if (hits.empty()) return {lowest, highest};
    // Faces that stop the chain: those below the run and those above it.
    const std::int64_t stopLow = lowest < hits.first ? lowest : hits.last + 1;
    const std::int64_t stopHigh = highest > hits.last ? highest : hits.first - 1;
    Range chain{lowest, highest};  // with no explosion left
    for (std::uint64_t k = 0; k < die.explodeRoom(); ++k)
        chain = {std::min(stopLow, hits.first + chain.lo), std::max(stopHigh, hits.last + chain.hi)};
    return chain;
}

Range termRange(const Term& term)
{
    Range range{term.number, term.number};
    if (term.dice) {
        const auto n = static_cast<std::int64_t>(term.dice->counted());
        if (term.dice->success) {
            range = {0, n};
        } else {
            const Range die = dieRange(*term.dice);
            range = {n * die.lo, n * die.hi};
        }
    }
    return term.negative ? Range{-range.hi, -range.lo} : range;
}

}  // namespace

std::int64_t Expression::minimum() const
{
    std::int64_t sum = 0;
    for (const Term& term : terms) sum += termRange(term).lo;
    return sum;
}

std::int64_t Expression::maximum() const
{
    std::int64_t sum = 0;
    for (const Term& term : terms) sum += termRange(term).hi;
    return sum;
}

bool Expression::plainDiceAndModifier() const
{
    if (terms.empty() || terms.size() > 2) return false;
    const Term& dice = terms[0];
    if (!dice.dice || dice.negative || dice.dice->fudge || dice.dice->keep != Keep::All ||
        dice.dice->reroll || dice.dice->explode || dice.dice->success)
        return false;
    return terms.size() == 1 || (!terms[1].dice && !terms[1].negative && terms[1].number > 0);
}

}  // namespace tumblecast::notation
