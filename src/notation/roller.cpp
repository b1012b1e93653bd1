#include "notation/roller.h"

#include <algorithm>
#include <numeric>

namespace tumblecast::notation {

Roller::Roller(const Expression& expression, const DieSource& source, std::uint64_t firstValue)
    : m_expression(&expression),
      m_source(&source),
      m_first(firstValue),
      m_stride(expression.stride()),
      m_firstRolls(expression.firstRollOffset(expression.terms.size()))
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
// Repetitions whose dice follow one another are read this many values at a time.
constexpr std::uint64_t kReadValues = 4096;

// The least x that shows at least face f on a die of sides sides.
constexpr std::uint64_t faceStart(std::uint64_t sides, std::uint64_t f)
{
    return (((f - 1) << DieSource::kBits) + sides - 1) / sides;
}

#if defined(__x86_64__) && defined(__linux__) && defined(__GNUC__)
// Wider vectors where the processor has them, chosen as the program loads.
#define TUMBLECAST_WIDEST __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define TUMBLECAST_WIDEST
#endif

// Over the bits of n dice: their faces' sum, 1 to sides each, and how many have from <= x < to.
struct Pass {
    std::uint64_t sum = 0;
    std::uint64_t within = 0;
};

TUMBLECAST_WIDEST Pass facePass(const std::uint32_t* bits, std::size_t n, std::uint64_t sides,
                                std::uint64_t from, std::uint64_t to)
{
    Pass pass{n, 0};
    const auto width = static_cast<std::uint32_t>(to - from);
    const auto low = static_cast<std::uint32_t>(from);
    // sides * x fits in 32 bits for the common dice, which the compiler then does several at a time.
    if (sides <= (std::uint64_t{1} << (32 - DieSource::kBits))) {
        const auto s = static_cast<std::uint32_t>(sides);
        std::uint32_t sum = 0, within = 0;  // n < 2^24 dice of at most 256 faces
        for (std::size_t i = 0; i < n; ++i) {
            sum += (s * bits[i]) >> DieSource::kBits;
            within += static_cast<std::uint32_t>(bits[i] - low < width);
        }
        pass.sum += sum;
        pass.within = within;
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            pass.sum += (sides * bits[i]) >> DieSource::kBits;
            pass.within += static_cast<std::uint32_t>(bits[i] - low < width);
        }
    }
    return pass;
}

}  // namespace

std::int64_t Roller::diceSum(const DiceTerm& die, const std::uint32_t* bits, std::uint64_t room) const
{
    const std::size_t n = die.count;
    const std::int64_t shift = die.fudge ? 2 : 0;  // from face numbers 1 to sides to the faces
    if (!die.reroll && !die.explode) {
        // The matching faces, as face numbers, and the range of x that shows them.
        FaceRun hits{1, static_cast<std::int64_t>(die.sides)};
        if (die.success) {
            hits = matchingFaces(*die.success, die.lowestFace(), die.highestFace());
            hits = {hits.first + shift, hits.last + shift};
        }
        const auto value = [&](std::uint64_t f) {
            const auto face = static_cast<std::int64_t>(f);
            return die.success ? std::int64_t{face >= hits.first && face <= hits.last} : face - shift;
        };
        const auto all = [&](const Pass& pass) {
            return die.success ? static_cast<std::int64_t>(pass.within)
                               : static_cast<std::int64_t>(pass.sum) - shift * static_cast<std::int64_t>(n);
        };
        if (die.keep == Keep::All || die.kept >= n) {
            if (hits.empty()) return 0;
            return all(facePass(bits, n, die.sides,
                                faceStart(die.sides, static_cast<std::uint64_t>(hits.first)),
                                faceStart(die.sides, static_cast<std::uint64_t>(hits.last) + 1)));
        }
        // The fewer of the kept and the dropped dice, from their end: most often all show the end's face.
        const std::uint64_t kept = die.kept, dropped = n - die.kept;
        const bool keptEnd = kept <= dropped;
        const bool top = keptEnd == (die.keep == Keep::Highest);
        const std::uint64_t need = std::min(kept, dropped), f = top ? die.sides : 1;
        if (need == 0) return 0;
        const Pass pass = facePass(bits, n, die.sides, faceStart(die.sides, f), faceStart(die.sides, f + 1));
        if (pass.within >= need) {
            const std::int64_t ends = static_cast<std::int64_t>(need) * value(f);
            if (keptEnd) return ends;
            if (!die.success) return all(pass) - ends;
            // Success counts need the matching dice over all: another pass.
            const Pass hit = hits.empty()
                                 ? Pass{}
                                 : facePass(bits, n, die.sides,
                                            faceStart(die.sides, static_cast<std::uint64_t>(hits.first)),
                                            faceStart(die.sides, static_cast<std::uint64_t>(hits.last) + 1));
            return static_cast<std::int64_t>(hit.within) - ends;
        }
        if (die.sides <= kTallyFaces) {
            m_counts.assign(die.sides + 1, 0);
            for (std::size_t i = 0; i < n; ++i) ++m_counts[dieFace(die.sides, bits[i])];
            // Walk the faces from the kept end, taking what is still to keep.
            const bool high = die.keep == Keep::Highest;
            std::uint64_t left = kept;
            std::int64_t sum = 0;
            for (std::uint64_t i = 0; i < die.sides && left > 0; ++i) {
                const std::uint64_t face = high ? die.sides - i : i + 1;
                const std::uint64_t take = std::min<std::uint64_t>(left, m_counts[face]);
                left -= take;
                sum += static_cast<std::int64_t>(take) * value(face);
            }
            return sum;
        }
    }
    m_values.resize(n);
    // Only a die whose first roll rerolls or explodes reads its room.
    const auto hits = [&](const std::optional<Comparison>& c) {
        return c ? matchingFaces(*c, die.lowestFace(), die.highestFace()) : FaceRun{};
    };
    const FaceRun rerolls = hits(die.reroll), explodes = hits(die.explode);
    const std::uint64_t roomPerDie = die.valuesPerDie() - 1;
    for (std::size_t i = 0; i < n; ++i) {
        const std::int64_t face = die.face(bits[i]);
        const bool reads = (face >= rerolls.first && face <= rerolls.last) ||
                           (face >= explodes.first && face <= explodes.last);
        m_values[i] = reads ? dieValue(die, bits[i], room + i * roomPerDie, nullptr, nullptr) : face;
    }
    auto counted = m_values.end();
    if (die.keep != Keep::All) {
        counted = m_values.begin() + static_cast<std::ptrdiff_t>(die.kept);
        if (die.keep == Keep::Highest)
            std::nth_element(m_values.begin(), counted, m_values.end(), std::greater<>());
        else
            std::nth_element(m_values.begin(), counted, m_values.end());
    }
    if (die.success)
        return std::count_if(m_values.begin(), counted,
                             [&](std::int64_t v) { return die.success->matches(v); });
    return std::accumulate(m_values.begin(), counted, std::int64_t{0});
}

std::int64_t Roller::total(std::uint64_t r) const
{
    std::int64_t total = 0;
    totals(r, 1, &total);
    return total;
}

void Roller::totals(std::uint64_t first, std::size_t count, std::int64_t* out) const
{
    const auto& terms = m_expression->terms;
    // Without rerolls or explosions, the repetitions' dice follow one another.
    const std::uint64_t perRead =
        m_stride == m_firstRolls
            ? std::max<std::uint64_t>(1, kReadValues / std::max<std::uint64_t>(1, m_stride))
            : 1;
    for (std::size_t done = 0; done < count;) {
        const auto reps = static_cast<std::size_t>(std::min<std::uint64_t>(perRead, count - done));
        const std::uint64_t base = m_first + (first + done) * m_stride;
        m_bits.resize(m_firstRolls * reps);
        if (!m_bits.empty()) m_source->bitsAt(base, m_bits.size(), m_bits.data());
        for (std::size_t i = 0; i < reps; ++i) {
            std::int64_t total = 0;
            for (std::size_t t = 0; t < terms.size(); ++t) {
                const Term& term = terms[t];
                const std::int64_t sum =
                    term.dice ? diceSum(*term.dice, m_bits.data() + i * m_firstRolls + m_plans[t].firstRoll,
                                        base + i * m_stride + m_plans[t].room)
                              : term.number;
                total += term.negative ? -sum : sum;
            }
            out[done + i] = total;
        }
        done += reps;
    }
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
