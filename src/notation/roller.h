#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/die_source.h"
#include "notation/expression.h"

namespace tumblecast::notation {

// One die as it was rolled. Its faces, in RolledTerm::faces from firstFace: the rolls it rerolled away,
// then the roll that stood, then the rolls its explosions added.
struct RolledDie {
    std::int64_t value = 0;  // the roll that stood plus its explosions
    std::uint32_t firstFace = 0;
    std::uint16_t rerolls = 0;
    std::uint16_t explosions = 0;
    bool counted = true;   // not dropped
    bool success = false;  // counted and matching the term's success count
};

struct RolledTerm {
    std::vector<RolledDie> dice;  // empty for a number
    std::vector<std::int64_t> faces;
    std::int64_t value = 0;  // what the term adds to the total, its sign included
};

// One repetition of a roll.
struct RolledRepetition {
    std::vector<RolledTerm> terms;
    std::int64_t total = 0;
};

// Rolls an expression from a die source: repetition r takes the stride() values from
// firstValue + r * stride() (see Expression), so any repetition is rolled on its own, and the roll as a
// whole takes values firstValue to nextValue() - 1. Equal dice keep or drop in the order they were rolled.
// Keeps buffers between calls: use one roller from one thread at a time.
class Roller {
public:
    // The expression and the source must outlive the roller.
    Roller(const Expression& expression, const DieSource& source, std::uint64_t firstValue);

    const Expression& expression() const { return *m_expression; }
    std::uint64_t firstValue() const { return m_first; }
    std::uint64_t nextValue() const { return m_first + m_expression->times * m_expression->stride(); }

    // Every die of repetition r, marked, and its total; out's buffers are reused.
    void roll(std::uint64_t r, RolledRepetition& out) const;
    RolledRepetition roll(std::uint64_t r) const;
    // Only the total of repetition r: the same as roll(r).total, without the marks.
    std::int64_t total(std::uint64_t r) const;

private:
    struct Plan {
        std::uint64_t firstRoll;  // from the repetition's first value
        std::uint64_t room;
    };
    std::int64_t dieValue(const DiceTerm& die, std::uint32_t x, std::uint64_t room, RolledDie* mark,
                          std::vector<std::int64_t>* faces) const;

    const Expression* m_expression;
    const DieSource* m_source;
    std::uint64_t m_first;
    std::uint64_t m_stride;
    std::vector<Plan> m_plans;
    mutable std::vector<std::uint32_t> m_bits;
    mutable std::vector<std::int64_t> m_values;
    mutable std::vector<std::uint32_t> m_counts;
    mutable std::vector<std::uint32_t> m_order;
};

// One line for people: each term's dice, the dropped ones in parentheses, a reroll as "1r4", an explosion
// as "6!3", a success with "*", then " = total": "4d6dl1: 6 5 4 (2) = 15".
std::string rollLine(const Expression& expression, const RolledRepetition& rolled);

}  // namespace tumblecast::notation
