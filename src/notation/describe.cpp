#include "notation/describe.h"

#include <array>
#include <utility>

namespace tumblecast::notation {

namespace {

std::string sidesWord(std::uint64_t sides)
{
    static constexpr std::array<std::pair<std::uint64_t, const char*>, 12> kNames = {{
        {2, "two"},
        {3, "three"},
        {4, "four"},
        {5, "five"},
        {6, "six"},
        {7, "seven"},
        {8, "eight"},
        {10, "ten"},
        {12, "twelve"},
        {20, "twenty"},
        {30, "thirty"},
        {100, "hundred"},
    }};
    for (const auto& [n, name] : kNames)
        if (n == sides) return name;
    return std::to_string(sides);
}

std::string compared(const Comparison& c)
{
    const std::string v = std::to_string(c.value);
    switch (c.op) {
        case Comparison::Op::Equal:
            return v;
        case Comparison::Op::Less:
            return "below " + v;
        case Comparison::Op::LessEqual:
            return v + " or less";
        case Comparison::Op::Greater:
            return "above " + v;
        case Comparison::Op::GreaterEqual:
            return v + " or more";
    }
    return v;
}

std::string dice(const DiceTerm& d)
{
    const bool one = d.count == 1;
    std::string words = std::to_string(d.count) + " ";
    if (d.fudge)
        words += one ? "fudge die" : "fudge dice";
    else
        words += sidesWord(d.sides) + "-sided " + (one ? "die" : "dice");
    if (d.reroll) words += ", reroll " + compared(*d.reroll) + (d.rerollOnce ? " once" : "");
    if (d.explode) words += ", explode on " + compared(*d.explode);
    if (d.keep != Keep::All) {
        const std::uint64_t n = d.writtenAsDrop ? d.count - d.kept : d.kept;
        const bool high = (d.keep == Keep::Highest) != d.writtenAsDrop;
        words += d.writtenAsDrop ? ", drop the " : ", keep the ";
        if (n > 1) words += std::to_string(n) + " ";
        words += high ? "highest" : "lowest";
    }
    if (d.success) words += ", count those showing " + compared(*d.success);
    return words;
}

}  // namespace

std::string describe(const Expression& expression)
{
    std::string words;
    if (expression.times > 1) words = std::to_string(expression.times) + " times: ";
    for (std::size_t t = 0; t < expression.terms.size(); ++t) {
        const Term& term = expression.terms[t];
        if (t > 0) words += ", ";
        if (term.dice) {
            if (term.negative)
                words += "subtract ";
            else if (t > 0)
                words += "add ";
            words += dice(*term.dice);
        } else {
            if (term.negative)
                words += "subtract ";
            else if (t > 0)
                words += "add ";
            words += std::to_string(term.number);
        }
    }
    return words;
}

}  // namespace tumblecast::notation
