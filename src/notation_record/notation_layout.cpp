#include "notation_record/notation_layout.h"

#include <algorithm>
#include <cstdlib>

namespace tumblecast {

namespace {

// Characters of the longest number from -magnitude to magnitude.
std::uint64_t width(std::uint64_t magnitude) { return layout_detail::digits(magnitude) + 1; }

std::uint64_t magnitude(std::int64_t v) { return static_cast<std::uint64_t>(std::llabs(v)); }

std::string heading(const notation::Expression& expression, const notation::Term& term)
{
    std::string text = term.negative ? "-" : "";
    for (const char c : std::string_view(expression.text).substr(term.column, term.length))
        if (c != ' ' && c != '\t') text += c;
    return text + ":";
}

}  // namespace

NotationLayout::NotationLayout(const notation::Expression& expression) : m_expression(&expression)
{
    const auto& terms = expression.terms;
    const auto diceTerms = std::count_if(terms.begin(), terms.end(),
                                         [](const notation::Term& term) { return term.dice.has_value(); });
    // Tail: an empty line, the total, the separator, an empty line.
    m_linesPerRepetition = kTailLines;
    std::uint64_t total = std::string_view("Total:").size() + std::string_view(" + 0 = ").size() +
                          width(std::max(magnitude(expression.minimum()), magnitude(expression.maximum())));
    m_longest = kSeparator.size();
    for (const notation::Term& term : terms) {
        m_headings.push_back(term.dice && diceTerms > 1 ? heading(expression, term) : std::string());
        if (!term.dice) {
            total += 5 + width(magnitude(term.number));
            continue;
        }
        const notation::DiceTerm& die = *term.dice;
        m_linesPerRepetition += die.count + (m_headings.back().empty() ? 0 : 1);
        m_longest = std::max<std::uint64_t>(m_longest, m_headings.back().size());
        const std::uint64_t face = width(std::max(magnitude(die.lowestFace()), magnitude(die.highestFace())));
        const std::uint64_t value = face * (1 + die.explodeRoom());
        std::uint64_t line = (1 + die.explodeRoom()) * (face + 3) + value;
        line += 11 + die.rerollRoom() * (face + 1);
        line += 16;  // " dropped success" at most
        m_longest = std::max(m_longest, line);
        total += 5 + value + layout_detail::digits(die.count);
    }
    m_longest = std::max(m_longest, total);
}

}  // namespace tumblecast
