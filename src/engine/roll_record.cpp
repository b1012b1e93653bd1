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
      m_times(request.times)
{
}

void RollRecord::adoptMeasured(const std::vector<std::uint64_t>& sums,
                               const std::vector<std::uint64_t>& bytes,
                               const std::vector<std::uint64_t>& blockStarts) const
{
    const std::uint64_t perRep = laterBlocks();
    if (sums.size() != m_times || bytes.size() != m_times || blockStarts.size() != m_times * perRep) return;
    // Room first, so that nothing below can fail half way.
    m_sums.reserve(m_times);
    m_blockStarts.reserve(m_times * perRep);
    m_starts.reserve(m_times + 1);
    const std::uint64_t from = m_measured;
    m_sums.insert(m_sums.end(), sums.begin() + static_cast<std::ptrdiff_t>(from), sums.end());
    m_blockStarts.insert(m_blockStarts.end(),
                         blockStarts.begin() + static_cast<std::ptrdiff_t>(from * perRep), blockStarts.end());
    for (std::uint64_t r = from; r < m_times; ++r) m_starts.push_back(m_starts.back() + bytes[r]);
    m_measured = m_times;
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
    if (reps <= m_measured) return;
    const std::uint64_t from = m_measured;
    const std::uint64_t count = reps - from;
    const std::uint64_t perRep = laterBlocks();
    try {
        m_sums.resize(reps);
        m_starts.resize(reps + 1);
        m_blockStarts.resize(reps * perRep);
        // Each repetition's length goes to m_starts[r + 1] first and becomes an offset below.
        const std::uint64_t parts =
            std::min<std::uint64_t>({fanOutThreads(), count, count * m_layout.dice() / kParallelDice + 1});
        fanOut(
            parts, static_cast<unsigned>(parts), parts,
            [&](std::uint64_t part) {
                const std::uint64_t begin = from + count * part / parts;
                const std::uint64_t end = from + count * (part + 1) / parts;
                measureRepetitions(m_dice, m_layout, begin, end, m_sums.data() + begin,
                                   m_starts.data() + begin + 1, m_blockStarts.data() + begin * perRep);
            },
            [](std::uint64_t) { return true; });
    } catch (...) {
        m_sums.resize(from);
        m_starts.resize(from + 1);
        m_blockStarts.resize(from * perRep);
        throw;
    }
    for (std::uint64_t r = from; r < reps; ++r) m_starts[r + 1] += m_starts[r];
    m_measured = reps;
}

std::uint64_t RollRecord::repetitionAt(std::uint64_t offset) const
{
    // The repetition is not known before its start is: measure in growing steps until it is.
    while (m_measured < m_times && m_starts[m_measured] <= offset)
        measureUpTo(m_measured + std::max<std::uint64_t>(m_measured, 1));
    const auto starts = m_starts.begin();
    const auto past = std::upper_bound(starts, starts + static_cast<std::ptrdiff_t>(m_measured + 1), offset);
    return static_cast<std::uint64_t>(past - starts) - 1;  // == m_times when offset >= size()
}

std::uint64_t RollRecord::diceBytes(std::uint64_t r) const
{
    return m_starts[r + 1] - m_starts[r] - m_layout.tailBytes(m_sums[r]);
}

std::uint64_t RollRecord::blockStart(std::uint64_t r, std::uint64_t b) const
{
    return b == 0 ? 0 : m_blockStarts[r * laterBlocks() + b - 1];
}

std::uint64_t RollRecord::blockAt(std::uint64_t r, std::uint64_t offsetInRep) const
{
    const auto first = m_blockStarts.begin() + static_cast<std::ptrdiff_t>(r * laterBlocks());
    const auto last = first + static_cast<std::ptrdiff_t>(laterBlocks());
    return static_cast<std::uint64_t>(std::upper_bound(first, last, offsetInRep) - first);
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
    return r < m_measured ? m_sums[r] : repetitionSum(m_dice, m_layout, r);
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
    return m_starts[m_measured];
}

TextOffset RollRecord::lineStart(LineNumber k) const
{
    const LinePlace at = m_layout.place(k.value);
    const std::uint64_t r = at.repetition;
    if (r >= m_times) return TextOffset(size());  // the empty line after the last line end
    measureUpTo(r + 1);
    if (at.kind == LineKind::Die) {
        const std::uint64_t b = at.index / RecordDice::kBlockDice;
        return TextOffset(m_starts[r] + blockStart(r, b) +
                          dieBlock(r, b).lineStarts[at.index % RecordDice::kBlockDice]);
    }
    return TextOffset(m_starts[r] + diceBytes(r) + m_layout.tailLineStart(at.kind, m_sums[r]));
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
    std::uint64_t rel = offset.value - m_starts[r];
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
    while (line > 0 && m_layout.tailLineStart(tailKind(line), m_sums[r]) > rel) --line;
    return first + m_layout.dice() + line;
}

std::string RollRecord::slice(TextOffset offset, std::uint64_t length) const
{
    // A screen's lines and most selections lie in one block: the kept one, mostly.
    if (length <= kPieceBytes) {
        const std::uint64_t r = repetitionAt(offset.value);
        if (r >= m_times) return {};
        const std::uint64_t rel = offset.value - m_starts[r];
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
