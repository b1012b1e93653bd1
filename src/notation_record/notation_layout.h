#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/record_layout.h"
#include "notation/expression.h"
#include "notation/roller.h"

namespace tumblecast {

// The record of a notation roll, laid out as a Generate's record: one line per die, then for every
// repetition an empty line, its total, the separator and an empty line, every line ended by CR LF. A
// die line shows the roll that stood ("5"), its explosions as a sum ("6 + 6 + 2 = 14"), the rolls it
// rerolled away ("4 (rerolled 1)"), and whether it was kept or dropped, or counted as a success. When
// more than one term rolls dice, each term's dice follow a line naming it ("4d6dl1:"). The total line
// lists every term's value, so "3d6" reads exactly as Generate's 3 dice of 6 sides.
//
// Every repetition has the same number of lines, whatever it rolls: a line is found by arithmetic,
// and only its repetition is rolled to render it.
class NotationLayout {
public:
    explicit NotationLayout(const notation::Expression& expression);

    std::uint64_t linesPerRepetition() const { return m_linesPerRepetition; }
    // No line of the record is longer (it may be shorter): a bound from the expression.
    std::uint64_t longestLine() const { return m_longest; }

    // Writes one rolled repetition to out, which takes text(std::string_view), number(std::int64_t) and
    // endLine(); see TextOut and ByteCount.
    template <class Out>
    void write(const notation::RolledRepetition& rolled, Out& out) const;

private:
    template <class Out>
    void writeDie(const notation::DiceTerm& term, const notation::RolledTerm& rolled,
                  const notation::RolledDie& die, Out& out) const;

    const notation::Expression* m_expression;
    std::vector<std::string> m_headings;  // per term: empty when the term has no heading line
    std::uint64_t m_linesPerRepetition = 0;
    std::uint64_t m_longest = 0;
};

// Appends the text to a string, noting where each line starts.
struct TextOut {
    std::string& out;
    std::vector<std::uint64_t>* lineStarts = nullptr;

    void text(std::string_view piece) { out += piece; }
    void number(std::int64_t value)
    {
        char digits[24];
        out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    }
    void endLine()
    {
        out += kLineEnd;
        if (lineStarts) lineStarts->push_back(out.size());
    }
};

// Counts the bytes the text would take, without writing it.
struct ByteCount {
    std::uint64_t bytes = 0;

    void text(std::string_view piece) { bytes += piece.size(); }
    void number(std::int64_t value)
    {
        const std::uint64_t magnitude =
            value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
        bytes += layout_detail::digits(magnitude) + (value < 0 ? 1 : 0);
    }
    void endLine() { bytes += kLineEnd.size(); }
};

template <class Out>
void NotationLayout::writeDie(const notation::DiceTerm& term, const notation::RolledTerm& rolled,
                              const notation::RolledDie& die, Out& out) const
{
    const std::int64_t* face = rolled.faces.data() + die.firstFace;
    const std::int64_t* const stood = face + die.rerolls;
    out.number(*stood);
    for (std::uint16_t k = 1; k <= die.explosions; ++k) {
        out.text(" + ");
        out.number(stood[k]);
    }
    if (die.explosions > 0) {
        out.text(" = ");
        out.number(die.value);
    }
    if (die.rerolls > 0) {
        out.text(" (rerolled");
        for (; face < stood; ++face) {
            out.text(" ");
            out.number(*face);
        }
        out.text(")");
    }
    if (term.keep != notation::Keep::All) out.text(die.counted ? " kept" : " dropped");
    if (die.success) out.text(" success");
    out.endLine();
}

template <class Out>
void NotationLayout::write(const notation::RolledRepetition& rolled, Out& out) const
{
    const auto& terms = m_expression->terms;
    for (std::size_t t = 0; t < terms.size(); ++t) {
        if (!terms[t].dice) continue;
        if (!m_headings[t].empty()) {
            out.text(m_headings[t]);
            out.endLine();
        }
        for (const notation::RolledDie& die : rolled.terms[t].dice)
            writeDie(*terms[t].dice, rolled.terms[t], die, out);
    }
    out.endLine();
    out.text("Total:");
    for (std::size_t t = 0; t < terms.size(); ++t) {
        // The value without the sign it was written with, which goes between the terms.
        const std::int64_t value = terms[t].negative ? -rolled.terms[t].value : rolled.terms[t].value;
        if (t > 0)
            out.text(terms[t].negative ? " - " : " + ");
        else if (terms[t].negative)
            out.text("-");
        // Fudge dice may add up to less than nothing: "+ (-2)", not "+ -2".
        const bool bracket = value < 0 && (t > 0 || terms[t].negative);
        if (bracket) out.text("(");
        out.number(value);
        if (bracket) out.text(")");
    }
    // As the window's record shows a roll without a total modifier.
    if (terms.size() == 1) out.text(" + 0");
    out.text(" = ");
    out.number(rolled.total);
    out.endLine();
    out.text(kSeparator);
    out.endLine();
    out.endLine();
}

}  // namespace tumblecast
