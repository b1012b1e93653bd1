// Streaming a record: stretches of units rendered ahead on every core and handed to the sink in order.
#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "engine/fan_out.h"
#include "engine/roll_record.h"

namespace tumblecast {

// A stretch of units is rendered apart from the others, on any thread, from nothing but the layout, the
// dice and the sums known before: a repetition whose sum is not known yet lies whole in one stretch.
struct RollRecord::Rendered {
    std::unique_ptr<char[]> buffer;  // not std::string: resizing would clear every byte of every piece first
    std::size_t capacity = 0;
    std::string_view text;
    MeasuredStretch measured;  // the repetitions rendered whole whose sums were not known
};

std::uint64_t RollRecord::streamUnitAt(std::uint64_t offset) const
{
    const std::uint64_t units = blocksPerRepetition() + 1;
    const std::uint64_t r = repetitionAt(offset);
    if (r >= m_times) return m_times * units;
    return r * units + m_prefix.unitAt(r, offset - m_prefix.start(r));
}

std::uint64_t RollRecord::streamUnitStart(std::uint64_t unit) const
{
    const std::uint64_t r = unit / (blocksPerRepetition() + 1);
    const std::uint64_t b = unit % (blocksPerRepetition() + 1);
    return m_prefix.start(r) + m_prefix.unitStart(r, b);
}

// Flattened: the walk and its visitor inlined keep the write position and the sum in registers.
[[gnu::flatten]] void RollRecord::render(std::uint64_t begin, std::uint64_t end,
                                         const std::vector<std::uint64_t>& knownSums, Rendered& out) const
{
    const std::uint64_t blocks = blocksPerRepetition();
    const std::uint64_t units = blocks + 1;
    const auto diceBefore = [&](std::uint64_t u) {
        return u / units * m_layout.dice() + std::min(u % units * RecordDice::kBlockDice, m_layout.dice());
    };
    const std::uint64_t bound = (diceBefore(end) - diceBefore(begin)) * m_layout.maxDieLineBytes() +
                                (end / units - begin / units + 1) * m_layout.maxTailBytes() +
                                RecordLayout::kLinePad;
    if (bound > out.capacity) {
        out.buffer.reset(new char[bound]);
        out.capacity = bound;
    }
    out.measured.units = units;
    out.measured.clear(0);
    char* const first = out.buffer.get();
    char* text = first;
    std::vector<std::uint64_t> repBlockStarts;
    const RecordLayout::PaddedLineWriter writeDieLine(m_layout);
    for (std::uint64_t u = begin; u < end;) {
        const std::uint64_t r = u / units;
        const std::uint64_t b = u % units;
        const auto repStart = static_cast<std::uint64_t>(text - first);
        repBlockStarts.clear();
        std::uint64_t sum = 0;
        const std::uint64_t toBlock = std::min(blocks, b + (end - u));
        m_dice.walk(
            r, b, toBlock,
            [&](std::uint64_t block) {
                if (block > 0) repBlockStarts.push_back(static_cast<std::uint64_t>(text - first) - repStart);
            },
            [&](std::uint64_t die) {
                sum += m_layout.modifiedDie(die);
                text = writeDieLine(text, die);
            });
        u += toBlock - b;
        if (u == end) break;
        const bool known = r < knownSums.size();
        if (!known && b != 0) throw std::logic_error("a stretch starts inside a repetition of unknown sum");
        if (blocks > 0) repBlockStarts.push_back(static_cast<std::uint64_t>(text - first) - repStart);
        text = m_layout.writeTail(text, known ? knownSums[r] : sum);
        ++u;
        if (!known) {
            if (out.measured.count() == 0) out.measured.begin = r;
            out.measured.push(sum, static_cast<std::uint64_t>(text - first) - repStart,
                              repBlockStarts.data());
        }
    }
    out.text = std::string_view(first, static_cast<std::size_t>(text - first));
}

void RollRecord::forEachPiece(TextOffset start, std::uint64_t length, const PieceSink& sink) const
{
    if (length == 0) return;
    const std::uint64_t offset = start.value;
    const std::uint64_t begin = streamUnitAt(offset);
    const std::uint64_t units = blocksPerRepetition() + 1;
    std::uint64_t end = m_times * units;
    if (begin >= end) return;
    const std::uint64_t last = offset > std::numeric_limits<std::uint64_t>::max() - length
                                   ? std::numeric_limits<std::uint64_t>::max()
                                   : offset + length;
    // Where the range ends is worth finding when it is short or already measured.
    if (length <= 4 * kPieceBytes || last <= m_prefix.end()) end = std::min(end, streamUnitAt(last - 1) + 1);

    // Stretches of about a piece. Repetitions longer than that are measured first, so that a stretch may
    // start inside one; shorter ones are grouped whole.
    const std::uint64_t repBytes = m_layout.dice() * m_layout.maxDieLineBytes() + m_layout.maxTailBytes();
    const bool split = repBytes > kPieceBytes;
    if (split) measureUpTo(end / units + 1);
    const std::uint64_t firstEnd = std::min(end, (begin / units + 1) * units);
    const std::uint64_t step =
        split
            ? std::max<std::uint64_t>(1, kPieceBytes / (RecordDice::kBlockDice * m_layout.maxDieLineBytes()))
            : std::max<std::uint64_t>(1, kPieceBytes / repBytes) * units;
    const std::uint64_t stretches =
        split ? (end - begin + step - 1) / step : 1 + (end - firstEnd + step - 1) / step;
    const auto stretch = [&](std::uint64_t k) -> std::pair<std::uint64_t, std::uint64_t> {
        if (split) return {begin + k * step, std::min(end, begin + (k + 1) * step)};
        if (k == 0) return {begin, firstEnd};
        return {firstEnd + (k - 1) * step, std::min(end, firstEnd + k * step)};
    };

    // The helpers read a copy of the sums, which keep() and the sink may change meanwhile.
    const std::vector<std::uint64_t> knownSums = m_prefix.sums();
    const unsigned threads = stretches <= 2 ? 1 : fanOutThreads();
    std::vector<Rendered> slots(2 * std::size_t{threads});
    std::uint64_t at = streamUnitStart(begin);
    fanOut(
        stretches, threads, slots.size(),
        [&](std::uint64_t k) {
            const auto [from, to] = stretch(k);
            render(from, to, knownSums, slots[k % slots.size()]);
        },
        [&](std::uint64_t k) {
            const Rendered& rendered = slots[k % slots.size()];
            const std::string_view text = rendered.text;
            const std::uint64_t from = offset > at ? offset - at : 0;
            const std::uint64_t to = std::min<std::uint64_t>(text.size(), last - at);
            at += text.size();
            m_prefix.adopt(rendered.measured);
            if (to > from) sink(text.substr(from, to - from));
            return at < last;
        });
}

}  // namespace tumblecast
