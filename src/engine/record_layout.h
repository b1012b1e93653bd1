#pragma once

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/roll_request.h"

namespace tumblecast {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kSeparator = "--------------------------------";

// What a line of a record is. A repetition is one line per die, then its tail: an empty line, the total
// line, the separator and another empty line. Every line, the last one too, ends with kLineEnd.
enum class LineKind { Die, BeforeTotal, Total, Separator, AfterSeparator };
inline constexpr std::uint64_t kTailLines = 4;
constexpr LineKind tailKind(std::uint64_t index) { return static_cast<LineKind>(index + 1); }

// Where line k of a record lies: its repetition, and its index there (a die's number, or the number of a
// tail line from 0).
struct LinePlace {
    std::uint64_t repetition;
    std::uint64_t index;
    LineKind kind;
};

// The writing of one die line is the inner loop of every pass over a record: it stays inline.
namespace layout_detail {

inline constexpr std::size_t kMaxDigits = 20;
inline constexpr std::array<std::uint64_t, kMaxDigits> kPowersOf10 = [] {
    std::array<std::uint64_t, kMaxDigits> powers{};
    std::uint64_t p = 1;
    for (auto& power : powers) {
        power = p;
        p *= 10;
    }
    return powers;
}();

// Decimal digits of v, 0 included: the bit width gives the count or one less.
inline std::uint64_t digits(std::uint64_t v)
{
    const std::uint64_t odd = v | 1;  // no power of ten above 1 is odd, so this moves no boundary
    const auto guess = static_cast<std::size_t>((std::bit_width(odd) * 1233) >> 12);
    return guess + (odd >= kPowersOf10[guess] ? 1 : 0);
}

inline char* writeNumber(char* out, std::uint64_t value)
{
    return std::to_chars(out, out + kMaxDigits, value).ptr;
}

inline char* writeText(char* out, std::string_view text)
{
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

}  // namespace layout_detail

// The text of a record, line by line, for one request: the lengths and the bytes of every line, so that
// anything that writes a record or finds its way in one agrees on them.
class RecordLayout {
public:
    // Requests past these bounds have no record; the window's fields stay far inside them.
    static constexpr std::uint64_t kCountLimit = std::uint64_t{1} << 30;

    explicit RecordLayout(const RollRequest& request);

    std::uint64_t dice() const { return m_dice; }
    std::uint64_t linesPerRepetition() const { return m_dice + kTailLines; }
    LinePlace place(std::uint64_t line) const;
    // What a die adds to its repetition's sum.
    std::uint64_t modifiedDie(std::uint64_t die) const { return die + m_sumModify; }

    // Line lengths exclude the line end; Bytes include it.
    std::uint64_t dieLineLength(std::uint64_t die) const
    {
        using layout_detail::digits;
        return m_perDie ? digits(die) + m_dieMiddle.size() + digits(die + m_modify) : digits(die);
    }
    std::uint64_t dieLineBytes(std::uint64_t die) const { return dieLineLength(die) + kLineEnd.size(); }
    // The longest die line of this request's dice, with its end.
    std::uint64_t maxDieLineBytes() const { return m_maxDieLineBytes; }
    // Writes the die line and its end; at most maxDieLineBytes() for a die of this request.
    char* writeDieLine(char* out, std::uint64_t die) const
    {
        using namespace layout_detail;
        out = writeNumber(out, die);
        if (m_perDie) out = writeNumber(writeText(out, m_dieMiddle), die + m_modify);
        return writeText(out, kLineEnd);
    }

    // The tail of a repetition whose modified dice add up to sum.
    std::uint64_t tailLineLength(LineKind kind, std::uint64_t sum) const;
    // From the tail's start.
    std::uint64_t tailLineStart(LineKind kind, std::uint64_t sum) const;
    std::uint64_t tailBytes(std::uint64_t sum) const;
    std::uint64_t maxTailBytes() const { return m_maxTailBytes; }
    char* writeTail(char* out, std::uint64_t sum) const;
    // The tail's line of kind, without its end.
    std::string tailLine(LineKind kind, std::uint64_t sum) const;

    // No line of the record is longer; it may be shorter, since the real longest would need every die.
    std::uint64_t longestLine() const { return m_longest; }

private:
    std::array<std::uint64_t, kTailLines> tailLengths(std::uint64_t sum) const;
    char* writeTotalLine(char* out, std::uint64_t sum) const;

    std::uint64_t m_dice;
    bool m_perDie;
    std::uint64_t m_modify;
    std::uint64_t m_sumModify;
    std::uint64_t m_totalModify;
    std::string m_dieMiddle;  // " + modifier = " on the per-die branch
    std::string m_totalModifyText;
    std::uint64_t m_maxDieLineBytes;
    std::uint64_t m_maxTailBytes;
    std::uint64_t m_longest;
};

}  // namespace tumblecast
