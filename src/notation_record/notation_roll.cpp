#include "notation_record/notation_roll.h"

#include <map>

#include "notation/describe.h"
#include "stats/expression_odds.h"

namespace tumblecast {

namespace {

// The expression's odds as the statistics read any roll's: chances of its totals from the minimum on.
class OddsPlan final : public stats::SpanPlan {
public:
    explicit OddsPlan(const notation::Expression& expression) : m_odds(expression) {}

    const stats::ExpressionOdds& odds() const { return m_odds; }
    Method method() const override
    {
        switch (m_odds.method()) {
            case stats::ExpressionOdds::Method::Exact:
                return Method::Exact;
            case stats::ExpressionOdds::Method::Normal:
                return Method::Normal;
            case stats::ExpressionOdds::Method::Simulated:
                break;
        }
        return Method::Simulated;
    }
    double errorBound() const override { return m_odds.errorBound(); }
    double atMost(std::uint64_t k) const override { return m_odds.atMost(at(k)); }
    double atLeast(std::uint64_t k) const override { return m_odds.atLeast(at(k)); }

private:
    std::int64_t at(std::uint64_t k) const { return m_odds.minimum() + static_cast<std::int64_t>(k); }

    stats::ExpressionOdds m_odds;
};

std::uint64_t sidesOf(const notation::DiceTerm& die) { return die.fudge ? 3 : die.sides; }

// One repetition as a player writes it, without blanks or the repeat count: "4d6dl1" of "6 x 4d6 dl1".
std::string rollName(const std::string& text)
{
    std::string name;
    for (const char c : text)
        if (c != ' ' && c != '\t') name += c;
    const auto digits = name.find_first_not_of("0123456789");
    if (digits > 0 && digits != std::string::npos && (name[digits] == 'x' || name[digits] == 'X'))
        name.erase(0, digits + 1);
    return name;
}

}  // namespace

NotationRoll::NotationRoll(notation::Expression expression, const DieSource& source, std::uint64_t firstValue)
    : m_record(std::move(expression), source, firstValue)
{
    std::map<std::uint64_t, std::uint64_t> diceOfSides;
    for (const notation::Term& term : m_record.expression().terms) {
        if (!term.dice) continue;
        diceOfSides[sidesOf(*term.dice)] += term.dice->count;
        m_dice += term.dice->count;
    }
    m_mixed = diceOfSides.size() > 1;
    std::uint64_t most = 0;
    for (const auto& [sides, dice] : diceOfSides) {
        if (dice > most) {
            most = dice;
            m_facesSides = sides;
        }
    }
}

std::unique_ptr<NotationRoll> NotationRoll::roll(notation::Expression expression, const DieSource& source,
                                                 std::uint64_t& nextValue)
{
    auto roll = std::make_unique<NotationRoll>(std::move(expression), source, nextValue);
    nextValue += roll->m_record.values();
    return roll;
}

stats::RollExpectation NotationRoll::expectation() const
{
    const notation::Expression& expression = m_record.expression();
    auto plan = std::make_shared<const OddsPlan>(expression);
    const stats::ExpressionOdds& odds = plan->odds();
    const stats::TotalDistribution::Found found{
        .plan = plan,
        .minimum = odds.minimum(),
        .span = static_cast<std::uint64_t>(odds.maximum() - odds.minimum()),
        .mean = odds.mean(),
        .standardDeviation = odds.standardDeviation(),
        .sides = m_facesSides,
        .times = expression.times};
    const std::string meaning = notation::describe(expression);
    const std::string faces = "the dice of " + std::to_string(m_facesSides) + " sides";
    // Which faces were tested goes without saying when every die has the same sides.
    return stats::RollExpectation(rollName(expression.text),
                                  m_mixed ? meaning + "; faces tested: " + faces : meaning,
                                  {{"Roll", rollName(expression.text)},
                                   {"Meaning", meaning},
                                   {"Repetitions", std::to_string(expression.times)},
                                   {"Faces tested", faces}},
                                  stats::TotalDistribution(found));
}

void NotationRoll::measure(std::uint64_t begin, std::uint64_t end, MeasuredStretch& into,
                           stats::FaceTally& faces, stats::TotalTally& totals) const
{
    const auto& terms = m_record.expression().terms;
    m_record.measure(begin, end, into, [&](const notation::RolledRepetition& rolled) {
        for (std::size_t t = 0; t < terms.size(); ++t) {
            if (!terms[t].dice || sidesOf(*terms[t].dice) != m_facesSides) continue;
            // Every roll was a fair die's: the ones rerolled away and the explosions' too.
            const std::int64_t shift = terms[t].dice->fudge ? 2 : 0;
            for (const std::int64_t face : rolled.terms[t].faces)
                faces.add(static_cast<std::uint64_t>(face + shift));
        }
        totals.add(rolled.total);
    });
}

}  // namespace tumblecast
