#include "notation/parser.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "notation/limits.h"

namespace tumblecast::notation {

namespace {

std::string str(std::uint64_t v) { return std::to_string(v); }
std::string str(std::int64_t v) { return std::to_string(v); }

struct Failure {
    Diagnostic diagnostic;
};

// The text without its blanks, lower case, each character with its column in the text as typed.
class Reader {
public:
    explicit Reader(std::string_view text) : m_end(text.size())
    {
        std::size_t blank = text.size();  // the first of the blanks just passed
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == ' ' || c == '\t') {
                blank = std::min(blank, i);
                continue;
            }
            // "3d6 2d6" would read as 3d62d6.
            const bool digit = c >= '0' && c <= '9';
            if (digit && blank < i && !m_chars.empty() && m_chars.back() >= '0' && m_chars.back() <= '9')
                fail(blank, i - blank, "numbers side by side: join terms with + or -");
            blank = text.size();
            if (c < 0x20 || c == 0x7F) fail(i, 1, "a control character is not part of a roll");
            if (c >= 0x80) {
                // Report a character, not one byte of it, and quote only what is UTF-8.
                const std::size_t wanted = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
                std::size_t length = 1;
                while (length < wanted && i + length < text.size() && (text[i + length] & 0xC0) == 0x80)
                    ++length;
                if (c < 0xC2 || c > 0xF4 || length < wanted)
                    fail(i, length, "not UTF-8 text, so not part of a roll");
                fail(i, length, "'" + std::string(text.substr(i, length)) + "' is not part of a roll");
            }
            m_chars.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
            m_columns.push_back(i);
        }
    }

    bool atEnd() const { return m_pos >= m_chars.size(); }
    char peek(std::size_t ahead = 0) const
    {
        return m_pos + ahead < m_chars.size() ? m_chars[m_pos + ahead] : '\0';
    }
    bool take(char c)
    {
        if (peek() != c) return false;
        ++m_pos;
        return true;
    }
    std::size_t pos() const { return m_pos; }
    void setPos(std::size_t pos) { m_pos = pos; }
    // The column of compact position p; past the end, just past the text.
    std::size_t column(std::size_t p) const { return p < m_columns.size() ? m_columns[p] : m_end; }
    // Columns from compact position from to the one before to.
    std::size_t length(std::size_t from, std::size_t to) const
    {
        to = std::min(to, m_columns.size());
        if (to <= from) return 1;
        return m_columns[to - 1] - m_columns[from] + 1;
    }

    bool digitNext() const { return peek() >= '0' && peek() <= '9'; }
    // A run of digits, held at a value past every limit so that it cannot overflow.
    std::uint64_t number()
    {
        std::uint64_t value = 0;
        while (digitNext()) {
            value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(peek() - '0'),
                                            1'000'000'000'000);
            ++m_pos;
        }
        return value;
    }

    [[noreturn]] void fail(std::size_t column, std::size_t length, std::string message) const
    {
        throw Failure{{column, std::max<std::size_t>(length, 1), std::move(message)}};
    }
    [[noreturn]] void failAt(std::size_t from, std::size_t to, std::string message) const
    {
        fail(column(from), length(from, to), std::move(message));
    }
    [[noreturn]] void unexpected() const
    {
        if (atEnd()) fail(m_end, 1, "the roll ends too soon");
        if (peek() == 'x') failAt(m_pos, m_pos + 1, "a repeat count goes in front, as in 6x4d6");
        failAt(m_pos, m_pos + 1, std::string("'") + peek() + "' is not part of a roll here");
    }

private:
    std::vector<char> m_chars;
    std::vector<std::size_t> m_columns;
    std::size_t m_pos = 0;
    std::size_t m_end;
};

std::optional<Comparison::Op> readOp(Reader& in)
{
    if (in.take('=')) return Comparison::Op::Equal;
    if (in.take('<')) return in.take('=') ? Comparison::Op::LessEqual : Comparison::Op::Less;
    if (in.take('>')) return in.take('=') ? Comparison::Op::GreaterEqual : Comparison::Op::Greater;
    return std::nullopt;
}

// A threshold: a whole number, which may be negative (fudge dice show -1).
std::int64_t readThreshold(Reader& in, std::size_t start)
{
    const bool negative = in.take('-');
    if (!in.digitNext()) in.failAt(start, in.pos() + 1, "a number must follow here");
    const std::size_t from = in.pos();
    const std::uint64_t value = in.number();
    if (value > static_cast<std::uint64_t>(kMaxNumber))
        in.failAt(from, in.pos(), "a number may be at most " + str(kMaxNumber));
    return negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
}

void readModifiers(Reader& in, DiceTerm& die)
{
    std::optional<std::size_t> keepAt, rerollAt, explodeAt, successAt;
    const auto once = [&](std::optional<std::size_t>& seen, std::size_t at, const char* what) {
        if (seen) in.failAt(at, at + 1, std::string("a second ") + what + " for the same dice");
        seen = at;
    };
    while (!in.atEnd()) {
        const std::size_t at = in.pos();
        const char c = in.peek();
        if (c == 'k' || c == 'd') {
            in.take(c);
            once(keepAt, at, "keep or drop");
            const bool drop = c == 'd';
            bool high = !drop;
            if (in.take('h'))
                high = true;
            else if (in.take('l'))
                high = false;
            std::uint64_t n = 1;
            if (in.digitNext()) n = in.number();
            const std::uint64_t all = die.count;
            const std::string dice = " of " + str(all) + (all == 1 ? " die" : " dice");
            if (!drop && n == 0) in.failAt(at, in.pos(), "keeps no dice");
            if (!drop && n > all) in.failAt(at, in.pos(), "keeps " + str(n) + dice);
            if (drop && n == 0) in.failAt(at, in.pos(), "drops no dice");
            if (drop && n >= all) in.failAt(at, in.pos(), "drops " + str(n) + dice + ", leaving none");
            die.writtenAsDrop = drop;
            // Dropping the lowest keeps the highest.
            die.keep = high != drop ? Keep::Highest : Keep::Lowest;
            die.kept = drop ? all - n : n;
        } else if (c == '!') {
            in.take('!');
            once(explodeAt, at, "explosion");
            Comparison compare{Comparison::Op::Equal, die.highestFace()};
            if (const auto op = readOp(in))
                compare = {*op, readThreshold(in, at)};
            else if (in.digitNext())  // a minus here starts the next term: 8d6!-2
                compare.value = readThreshold(in, at);
            const FaceRun hits = matchingFaces(compare, die.lowestFace(), die.highestFace());
            if (hits.size() == die.highestFace() - die.lowestFace() + 1)
                in.failAt(at, in.pos(), "explodes on every face");
            die.explode = compare;
        } else if (c == 'r') {
            in.take('r');
            once(rerollAt, at, "reroll");
            die.rerollOnce = in.take('o');
            Comparison compare{Comparison::Op::Equal, 0};
            if (const auto op = readOp(in)) compare.op = *op;
            compare.value = readThreshold(in, at);
            const FaceRun hits = matchingFaces(compare, die.lowestFace(), die.highestFace());
            if (hits.size() == die.highestFace() - die.lowestFace() + 1)
                in.failAt(
                    at, in.pos(),
                    die.rerollOnce ? "rerolls every face" : "rerolls every face, so it would never stop");
            die.reroll = compare;
        } else if (const auto op = readOp(in)) {
            once(successAt, at, "success count");
            die.success = Comparison{*op, readThreshold(in, at)};
        } else {
            break;
        }
    }
}

Term readTerm(Reader& in, bool negative)
{
    Term term;
    term.negative = negative;
    term.column = in.column(in.pos());
    const std::size_t first = in.pos();
    std::optional<std::uint64_t> count;
    if (in.digitNext()) count = in.number();
    if (!in.take('d')) {
        if (!count) in.unexpected();
        if (*count > static_cast<std::uint64_t>(kMaxNumber))
            in.failAt(first, in.pos(), "a number may be at most " + str(kMaxNumber));
        term.number = static_cast<std::int64_t>(*count);
        term.length = in.length(first, in.pos());
        return term;
    }
    DiceTerm die;
    die.count = count.value_or(1);
    if (die.count == 0) in.failAt(first, in.pos() - 1, "rolls no dice");
    if (die.count > kMaxTermDice)
        in.failAt(first, in.pos() - 1, str(die.count) + " dice: a term rolls at most " + str(kMaxTermDice));
    const std::size_t sidesAt = in.pos();
    if (in.take('%')) {
        die.sides = 100;
    } else if (in.take('f')) {
        die.sides = 3;
        die.fudge = true;
    } else if (in.digitNext()) {
        die.sides = in.number();
        if (die.sides == 0) in.failAt(sidesAt, in.pos(), "a die needs at least 1 side");
        if (die.sides > kMaxTermSides)
            in.failAt(sidesAt, in.pos(), str(die.sides) + " sides: a die has at most " + str(kMaxTermSides));
    } else {
        in.failAt(sidesAt - 1, sidesAt + 1, "d needs its sides: a number, % or F");
    }
    readModifiers(in, die);
    term.dice = die;
    term.length = in.length(first, in.pos());
    return term;
}

Expression read(std::string_view text)
{
    if (text.size() > kMaxLength)
        throw Failure{{kMaxLength, text.size() - kMaxLength,
                       "a roll is at most " + str(kMaxLength) + " characters long"}};
    Reader in(text);
    if (in.atEnd()) throw Failure{{0, 1, "there is no roll: write one like 2d20kh1+5"}};
    Expression expression;
    expression.text = std::string(text);
    // A repeat count: digits and x.
    if (in.digitNext()) {
        const std::size_t from = in.pos();
        const std::uint64_t n = in.number();
        if (in.take('x')) {
            if (n == 0 || n > kMaxRepeat)
                in.failAt(from, in.pos(), "repeats 1 to " + str(kMaxRepeat) + " times");
            expression.times = n;
        } else {
            in.setPos(from);
        }
    }
    bool firstTerm = true;
    while (true) {
        const std::size_t at = in.pos();
        bool negative = false;
        if (in.take('-'))
            negative = true;
        else if (!in.take('+') && !firstTerm)
            in.unexpected();
        if (expression.terms.size() == kMaxTerms)
            in.failAt(at, at + 1, "a roll has at most " + str(kMaxTerms) + " terms");
        expression.terms.push_back(readTerm(in, negative));
        firstTerm = false;
        if (in.atEnd()) break;
    }
    if (expression.stride() > kMaxStride)
        throw Failure{{0, text.size(),
                       "needs " + str(expression.stride()) +
                           " dice a roll, counting the room for rerolls and explosions; at most " +
                           str(kMaxStride)}};
    return expression;
}

}  // namespace

Parsed parse(std::string_view text)
{
    try {
        return read(text);
    } catch (const Failure& failure) {
        return failure.diagnostic;
    }
}

}  // namespace tumblecast::notation
