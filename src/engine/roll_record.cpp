#include "engine/roll_record.h"

#include <algorithm>

#include "engine/fan_out.h"

namespace tumblecast {

namespace {

// Below this many dice a pass is over before a second thread would have started.
constexpr std::uint64_t kParallelDice = 1 << 20;

}  // namespace

RollRecord::RollRecord(const RollRequest& request, const DieSource& source, std::uint64_t firstDie)
    : m_request(request),
      m_layout(request),
      m_dice(source, firstDie, request.dice, request.sides),
      m_times(request.times),
      m_prefix(m_dice.unitsPerRepetition())
{
}

std::unique_ptr<RollRecord> RollRecord::roll(const RollRequest& request, const DieSource& source,
                                             std::uint64_t& nextDie)
{
    auto record = std::make_unique<RollRecord>(request, source, nextDie);
    nextDie += record->diceCount();
    return record;
}

void RollRecord::measureUpTo(std::uint64_t reps) const
{
    reps = std::min(reps, m_times);
    const std::uint64_t from = m_prefix.count();
    if (reps <= from) return;
    const std::uint64_t count = reps - from;
    MeasuredStretch measured(m_dice.unitsPerRepetition());
    measured.makeRoom(from, count);
    const std::uint64_t parts =
        std::min<std::uint64_t>({fanOutThreads(), count, count * m_layout.dice() / kParallelDice + 1});
    fanOut(
        parts, static_cast<unsigned>(parts), parts,
        [&](std::uint64_t part) {
            measureRepetitions(m_dice, m_layout, from + count * part / parts,
                               from + count * (part + 1) / parts, measured);
        },
        [](std::uint64_t) { return true; });
    m_prefix.adopt(measured);
}

std::uint64_t RollRecord::repetitionAt(std::uint64_t offset) const
{
    // The repetition is not known before its start is: measure in growing steps until it is.
    while (m_prefix.count() < m_times && m_prefix.end() <= offset)
        measureUpTo(m_prefix.count() + std::max<std::uint64_t>(m_prefix.count(), 1));
    return m_prefix.repetitionAt(offset);  // == m_times when offset >= size()
}

std::uint64_t RollRecord::diceBytes(std::uint64_t r) const
{
    return m_prefix.unitStart(r, blocksPerRepetition());
}

std::uint64_t RollRecord::blockStart(std::uint64_t r, std::uint64_t b) const
{
    return m_prefix.unitStart(r, b);
}

std::uint64_t RollRecord::blockAt(std::uint64_t r, std::uint64_t offsetInRep) const
{
    return m_prefix.unitAt(r, offsetInRep);
}

const RollRecord::DieBlock& RollRecord::dieBlock(std::uint64_t r, std::uint64_t b) const
{
    if (m_block.repetition == r && m_block.index == b) return m_block;
    m_block.repetition = ~0ull;  // stays invalid if an allocation below fails
    const std::uint64_t count =
        std::min(RecordDice::kBlockDice, m_layout.dice() - b * RecordDice::kBlockDice);
    m_block.text.resize(count * m_layout.maxDieLineBytes());
    m_block.lineStarts.clear();
    m_block.lineStarts.reserve(count + 1);
    char* const begin = m_block.text.data();
    char* out = begin;
    m_dice.walk(
        r, b, b + 1, [](std::uint64_t) {},
        [&](std::uint64_t die) {
            m_block.lineStarts.push_back(static_cast<std::uint32_t>(out - begin));
            out = m_layout.writeDieLine(out, die);
        });
    m_block.lineStarts.push_back(static_cast<std::uint32_t>(out - begin));
    m_block.text.resize(static_cast<std::size_t>(out - begin));
    m_block.repetition = r;
    m_block.index = b;
    return m_block;
}

std::uint64_t RollRecord::sumOf(std::uint64_t r) const
{
    return r < m_prefix.count() ? m_prefix.sum(r) : repetitionSum(m_dice, m_layout, r);
}

std::string RollRecord::line(LineNumber k) const
{
    const LinePlace at = m_layout.place(k.value);
    if (at.repetition >= m_times) return {};
    if (at.kind != LineKind::Die)
        return m_layout.tailLine(at.kind, at.kind == LineKind::Total ? sumOf(at.repetition) : 0);
    std::string text(m_layout.maxDieLineBytes(), '\0');
    const char* const end = m_layout.writeDieLine(text.data(), m_dice.die(at.repetition, at.index));
    text.resize(static_cast<std::size_t>(end - text.data()) - kLineEnd.size());
    return text;
}

std::uint64_t RollRecord::size() const
{
    measureUpTo(m_times);
    return m_prefix.end();
}

TextOffset RollRecord::lineStart(LineNumber k) const
{
    const LinePlace at = m_layout.place(k.value);
    const std::uint64_t r = at.repetition;
    if (r >= m_times) return TextOffset(size());  // the empty line after the last line end
    measureUpTo(r + 1);
    if (at.kind == LineKind::Die) {
        const std::uint64_t b = at.index / RecordDice::kBlockDice;
        return TextOffset(m_prefix.start(r) + blockStart(r, b) +
                          dieBlock(r, b).lineStarts[at.index % RecordDice::kBlockDice]);
    }
    return TextOffset(m_prefix.start(r) + diceBytes(r) + m_layout.tailLineStart(at.kind, m_prefix.sum(r)));
}

std::uint64_t RollRecord::lineLength(LineNumber k) const
{
    const LinePlace at = m_layout.place(k.value);
    if (at.repetition >= m_times) return 0;
    if (at.kind == LineKind::Die) return m_layout.dieLineLength(m_dice.die(at.repetition, at.index));
    return m_layout.tailLineLength(at.kind, at.kind == LineKind::Total ? sumOf(at.repetition) : 0);
}

LineNumber RollRecord::lineAt(TextOffset offset) const
{
    const std::uint64_t r = repetitionAt(offset.value);
    if (r >= m_times) return LineNumber(lineCount() - 1);
    const LineNumber first(r * m_layout.linesPerRepetition());
    std::uint64_t rel = offset.value - m_prefix.start(r);
    const std::uint64_t dice = diceBytes(r);
    if (rel < dice) {
        const std::uint64_t b = blockAt(r, rel);
        const auto& starts = dieBlock(r, b).lineStarts;
        const auto i =
            std::upper_bound(starts.begin(), starts.end(), rel - blockStart(r, b)) - starts.begin() - 1;
        return first + b * RecordDice::kBlockDice + static_cast<std::uint64_t>(i);
    }
    rel -= dice;
    // The last tail line that starts at or before rel.
    std::uint64_t line = kTailLines - 1;
    while (line > 0 && m_layout.tailLineStart(tailKind(line), m_prefix.sum(r)) > rel) --line;
    return first + m_layout.dice() + line;
}

std::string RollRecord::slice(TextOffset offset, std::uint64_t length) const
{
    // A screen's lines and most selections lie in one block: the kept one, mostly.
    if (length <= kPieceBytes) {
        const std::uint64_t r = repetitionAt(offset.value);
        if (r >= m_times) return {};
        const std::uint64_t rel = offset.value - m_prefix.start(r);
        if (rel < diceBytes(r)) {
            const std::uint64_t b = blockAt(r, rel);
            const std::string& text = dieBlock(r, b).text;
            const std::uint64_t from = rel - blockStart(r, b);
            if (length <= text.size() - from) return text.substr(from, length);
        }
    }
    std::string text;
    forEachPiece(offset, length, [&text](std::string_view piece) { text += piece; });
    return text;
}

}  // namespace tumblecast
