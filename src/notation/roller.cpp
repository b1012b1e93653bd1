#include "notation/roller.h"

#include <algorithm>
#include <numeric>

namespace tumblecast::notation {

Roller::Roller(const Expression& expression, const DieSource& source, std::uint64_t firstValue)
    : m_expression(&expression), m_source(&source), m_first(firstValue), m_stride(expression.stride())
{
    for (std::size_t t = 0; t < expression.terms.size(); ++t)
        m_plans.push_back({expression.firstRollOffset(t), expression.roomOffset(t)});
}

std::int64_t Roller::dieValue(const DiceTerm& die, std::uint32_t x, std::uint64_t room, RolledDie* mark,
                              std::vector<std::int64_t>* faces) const
{
    std::int64_t face = die.face(x);
    const auto next = [&](std::uint64_t value) {
        std::uint32_t bits = 0;
        m_source->bitsAt(value, 1, &bits);
        return die.face(bits);
    };
    if (die.reroll) {
        std::uint64_t n = 0;
        for (; n < die.rerollRoom() && die.reroll->matches(face); ++n) {
            if (faces) faces->push_back(face);
            face = next(room + n);
        }
        if (mark) mark->rerolls = static_cast<std::uint16_t>(n);
    }
    if (faces) faces->push_back(face);
    std::int64_t value = face;
    if (die.explode) {
        const std::uint64_t from = room + die.rerollRoom();
        std::uint64_t n = 0;
        for (; n < die.explodeRoom() && die.explode->matches(face); ++n) {
            face = next(from + n);
            value += face;
            if (faces) faces->push_back(face);
        }
        if (mark) mark->explosions = static_cast<std::uint16_t>(n);
    }
    return value;
}

void Roller::roll(std::uint64_t r, RolledRepetition& out) const
{
    const auto& terms = m_expression->terms;
    const std::uint64_t base = m_first + r * m_stride;
    out.terms.resize(terms.size());
    out.total = 0;
    for (std::size_t t = 0; t < terms.size(); ++t) {
        const Term& term = terms[t];
        RolledTerm& rolled = out.terms[t];
        rolled.dice.clear();
        rolled.faces.clear();
        std::int64_t sum = term.number;
        if (term.dice) {
            const DiceTerm& die = *term.dice;
            const std::size_t n = die.count;
            m_bits.resize(n);
            m_source->bitsAt(base + m_plans[t].firstRoll, n, m_bits.data());
            rolled.dice.resize(n);
            const std::uint64_t room = base + m_plans[t].room;
            for (std::size_t i = 0; i < n; ++i) {
                RolledDie& mark = rolled.dice[i];
                mark = RolledDie{};
                mark.firstFace = static_cast<std::uint32_t>(rolled.faces.size());
                mark.value =
                    dieValue(die, m_bits[i], room + i * (die.valuesPerDie() - 1), &mark, &rolled.faces);
            }
            if (die.keep != Keep::All) {
                m_order.resize(n);
                std::iota(m_order.begin(), m_order.end(), 0u);
                const bool high = die.keep == Keep::Highest;
                std::stable_sort(m_order.begin(), m_order.end(), [&](std::uint32_t a, std::uint32_t b) {
                    return high ? rolled.dice[a].value > rolled.dice[b].value
                                : rolled.dice[a].value < rolled.dice[b].value;
                });
                for (std::size_t k = die.kept; k < n; ++k) rolled.dice[m_order[k]].counted = false;
            }
            sum = 0;
            for (RolledDie& mark : rolled.dice) {
                if (!mark.counted) continue;
                if (!die.success) {
                    sum += mark.value;
                } else if (die.success->matches(mark.value)) {
                    mark.success = true;
                    ++sum;
                }
            }
        }
        rolled.value = term.negative ? -sum : sum;
        out.total += rolled.value;
    }
}

RolledRepetition Roller::roll(std::uint64_t r) const
{
    RolledRepetition out;
    roll(r, out);
    return out;
}

namespace {

// Dice with few faces keep and count through a tally of their faces instead of a partial sort.
constexpr std::uint64_t kTallyFaces = 64;

}  // namespace

std::int64_t Roller::total(std::uint64_t r) const
{
    const auto& terms = m_expression->terms;
    const std::uint64_t base = m_first + r * m_stride;
    std::int64_t total = 0;
    for (std::size_t t = 0; t < terms.size(); ++t) {
        const Term& term = terms[t];
        std::int64_t sum = term.number;
        if (term.dice) {
            const DiceTerm& die = *term.dice;
            const std::size_t n = die.count;
            m_bits.resize(n);
            m_source->bitsAt(base + m_plans[t].firstRoll, n, m_bits.data());
            const bool plain = !die.reroll && !die.explode;
            if (plain && die.keep == Keep::All && !die.success) {
                std::uint64_t faces = 0;
                for (const std::uint32_t x : m_bits) faces += dieFace(die.sides, x);
                sum = static_cast<std::int64_t>(faces) - (die.fudge ? 2 * static_cast<std::int64_t>(n) : 0);
            } else if (plain && die.sides <= kTallyFaces) {
                m_counts.assign(die.sides + 1, 0);
                for (const std::uint32_t x : m_bits) ++m_counts[dieFace(die.sides, x)];
                // Walk the faces from the kept end, taking what is still to keep.
                const bool high = die.keep != Keep::Lowest;
                std::uint64_t left = die.counted();
                sum = 0;
                for (std::uint64_t i = 0; i < die.sides && left > 0; ++i) {
                    const std::uint64_t f = high ? die.sides - i : i + 1;
                    const std::uint64_t take = std::min<std::uint64_t>(left, m_counts[f]);
                    left -= take;
                    const std::int64_t face = static_cast<std::int64_t>(f) - (die.fudge ? 2 : 0);
                    if (!die.success)
                        sum += static_cast<std::int64_t>(take) * face;
                    else if (die.success->matches(face))
                        sum += static_cast<std::int64_t>(take);
                }
            } else {
                m_values.resize(n);
                const std::uint64_t room = base + m_plans[t].room;
                for (std::size_t i = 0; i < n; ++i)
                    m_values[i] = plain ? die.face(m_bits[i])
                                        : dieValue(die, m_bits[i], room + i * (die.valuesPerDie() - 1),
                                                   nullptr, nullptr);
                auto counted = m_values.end();
                if (die.keep != Keep::All) {
                    counted = m_values.begin() + static_cast<std::ptrdiff_t>(die.kept);
                    if (die.keep == Keep::Highest)
                        std::nth_element(m_values.begin(), counted, m_values.end(), std::greater<>());
                    else
                        std::nth_element(m_values.begin(), counted, m_values.end());
                }
                if (die.success)
                    sum = std::count_if(m_values.begin(), counted,
                                        [&](std::int64_t v) { return die.success->matches(v); });
                else
                    sum = std::accumulate(m_values.begin(), counted, std::int64_t{0});
            }
        }
        total += term.negative ? -sum : sum;
    }
    return total;
}

namespace {

void appendDie(std::string& line, const RolledTerm& term, const RolledDie& die)
{
    if (!die.counted) line += '(';
    const std::int64_t* face = term.faces.data() + die.firstFace;
    for (std::uint16_t k = 0; k < die.rerolls; ++k) (line += std::to_string(*face++)) += 'r';
    line += std::to_string(*face++);
    for (std::uint16_t k = 0; k < die.explosions; ++k) (line += '!') += std::to_string(*face++);
    if (die.success) line += '*';
    if (!die.counted) line += ')';
}

}  // namespace

std::string rollLine(const Expression& expression, const RolledRepetition& rolled)
{
    const auto first = expression.text.find_first_not_of(" \t");
    const auto last = expression.text.find_last_not_of(" \t");
    std::string line =
        first == std::string::npos ? std::string() : expression.text.substr(first, last - first + 1);
    line += ": ";
    const bool several = expression.terms.size() > 1;
    for (std::size_t t = 0; t < expression.terms.size(); ++t) {
        const Term& term = expression.terms[t];
        const RolledTerm& done = rolled.terms[t];
        if (t > 0)
            line += term.negative ? " - " : " + ";
        else if (term.negative)
            line += '-';
        if (!term.dice) {
            line += std::to_string(term.number);
            continue;
        }
        const bool bracket = several && done.dice.size() > 1;
        if (bracket) line += '[';
        for (std::size_t i = 0; i < done.dice.size(); ++i) {
            if (i > 0) line += ' ';
            appendDie(line, done, done.dice[i]);
        }
        if (bracket) line += ']';
    }
    line += " = " + std::to_string(rolled.total);
    return line;
}

}  // namespace tumblecast::notation
