#include "notation_record/notation_record.h"

#include <algorithm>

#include "engine/fan_out.h"

namespace tumblecast {

namespace {

// Below this many source values a pass is over before a second thread would have started.
constexpr std::uint64_t kParallelValues = 1 << 20;
// Repetitions rendered together for a stream, at most: small ones make pieces of about kPieceBytes.
constexpr std::uint64_t kMaxGroup = 4096;

}  // namespace

NotationRecord::NotationRecord(notation::Expression expression, const DieSource& source,
                               std::uint64_t firstValue)
    : m_expression(std::make_unique<const notation::Expression>(std::move(expression))),
      m_source(&source),
      m_first(firstValue),
      m_layout(*m_expression),
      m_roller(*m_expression, source, firstValue)
{
}

std::unique_ptr<NotationRecord> NotationRecord::roll(notation::Expression expression, const DieSource& source,
                                                     std::uint64_t& nextValue)
{
    auto record = std::make_unique<NotationRecord>(std::move(expression), source, nextValue);
    nextValue += record->values();
    return record;
}

const NotationRecord::Rendered& NotationRecord::rendered(std::uint64_t r) const
{
    for (unsigned i = 0; i < 2; ++i) {
        if (m_shown[i].repetition == r) {
            m_older = 1 - i;
            return m_shown[i];
        }
    }
    Rendered& shown = m_shown[m_older];
    m_older = 1 - m_older;
    shown.repetition = ~0ull;  // stays invalid if an allocation below fails
    shown.text.clear();
    shown.lineStarts.assign(1, 0);
    m_roller.roll(r, m_rolled);
    TextOut out{shown.text, &shown.lineStarts};
    m_layout.write(m_rolled, out);
    shown.repetition = r;
    return shown;
}

void NotationRecord::measureUpTo(std::uint64_t reps) const
{
    reps = std::min(reps, repetitions());
    const std::uint64_t from = m_measured.count();
    if (reps <= from) return;
    const std::uint64_t count = reps - from;
    MeasuredStretch stretch(1);
    stretch.makeRoom(from, count);
    const std::uint64_t parts = std::min<std::uint64_t>(
        {fanOutThreads(), count, count * m_expression->stride() / kParallelValues + 1});
    fanOut(
        parts, static_cast<unsigned>(parts), parts,
        [&](std::uint64_t part) {
            measure(from + count * part / parts, from + count * (part + 1) / parts, stretch,
                    [](const notation::RolledRepetition&) {});
        },
        [](std::uint64_t) { return true; });
    m_measured.adopt(stretch);
}

std::uint64_t NotationRecord::repetitionAt(std::uint64_t offset) const
{
    // The repetition is not known before its start is: measure in growing steps until it is.
    while (m_measured.count() < repetitions() && m_measured.end() <= offset)
        measureUpTo(m_measured.count() + std::max<std::uint64_t>(m_measured.count(), 1));
    return m_measured.repetitionAt(offset);
}

std::string NotationRecord::line(LineNumber k) const
{
    const std::uint64_t r = k.value / m_layout.linesPerRepetition();
    if (r >= repetitions()) return {};
    const std::uint64_t j = k.value % m_layout.linesPerRepetition();
    const Rendered& shown = rendered(r);
    return shown.text.substr(shown.lineStarts[j],
                             shown.lineStarts[j + 1] - shown.lineStarts[j] - kLineEnd.size());
}

std::uint64_t NotationRecord::lineLength(LineNumber k) const
{
    const std::uint64_t r = k.value / m_layout.linesPerRepetition();
    if (r >= repetitions()) return 0;
    const std::uint64_t j = k.value % m_layout.linesPerRepetition();
    const Rendered& shown = rendered(r);
    return shown.lineStarts[j + 1] - shown.lineStarts[j] - kLineEnd.size();
}

std::uint64_t NotationRecord::size() const
{
    measureUpTo(repetitions());
    return m_measured.end();
}

TextOffset NotationRecord::lineStart(LineNumber k) const
{
    const std::uint64_t r = k.value / m_layout.linesPerRepetition();
    if (r >= repetitions()) return TextOffset(size());  // the empty line after the last line end
    measureUpTo(r + 1);
    return TextOffset(m_measured.start(r) + rendered(r).lineStarts[k.value % m_layout.linesPerRepetition()]);
}

LineNumber NotationRecord::lineAt(TextOffset offset) const
{
    const std::uint64_t r = repetitionAt(offset.value);
    if (r >= repetitions()) return LineNumber(lineCount() - 1);
    const auto& starts = rendered(r).lineStarts;
    const auto i = std::upper_bound(starts.begin(), starts.end(), offset.value - m_measured.start(r)) -
                   starts.begin() - 1;
    return LineNumber(r * m_layout.linesPerRepetition() + static_cast<std::uint64_t>(i));
}

std::string NotationRecord::slice(TextOffset offset, std::uint64_t length) const
{
    // A screen's lines and most selections lie in one repetition: a rendered one, mostly.
    if (length <= kPieceBytes) {
        const std::uint64_t r = repetitionAt(offset.value);
        if (r >= repetitions()) return {};
        const std::string& text = rendered(r).text;
        const std::uint64_t from = offset.value - m_measured.start(r);
        if (length <= text.size() - from) return text.substr(from, length);
    }
    std::string text;
    forEachPiece(offset, length, [&text](std::string_view piece) { text += piece; });
    return text;
}

void NotationRecord::forEachPiece(TextOffset offset, std::uint64_t length, const PieceSink& sink) const
{
    const std::uint64_t first = repetitionAt(offset.value);
    if (first >= repetitions() || length == 0) return;
    std::uint64_t skip = offset.value - m_measured.start(first);
    std::uint64_t left = length;
    // Groups of repetitions as long as a piece, going by those measured so far.
    const std::uint64_t average = std::max<std::uint64_t>(m_measured.end() / m_measured.count(), 1);
    const std::uint64_t group = std::clamp<std::uint64_t>(kPieceBytes / average, 1, kMaxGroup);
    const std::uint64_t units = (repetitions() - first + group - 1) / group;
    const auto threads = static_cast<unsigned>(std::min<std::uint64_t>(fanOutThreads(), units));
    struct Slot {
        std::unique_ptr<notation::Roller> roller;
        notation::RolledRepetition rolled;
        std::string text;
    };
    std::vector<Slot> slots(2 * std::max(threads, 1u));
    fanOut(
        units, threads, slots.size(),
        [&](std::uint64_t u) {
            Slot& slot = slots[u % slots.size()];
            if (!slot.roller)
                slot.roller = std::make_unique<notation::Roller>(*m_expression, *m_source, m_first);
            slot.text.clear();
            TextOut out{slot.text};
            const std::uint64_t begin = first + u * group;
            for (std::uint64_t r = begin; r < std::min(begin + group, repetitions()); ++r) {
                slot.roller->roll(r, slot.rolled);
                m_layout.write(slot.rolled, out);
            }
        },
        [&](std::uint64_t u) {
            std::string_view text = slots[u % slots.size()].text;
            const std::uint64_t skipped = std::min<std::uint64_t>(skip, text.size());
            text.remove_prefix(skipped);
            skip -= skipped;
            text = text.substr(0, std::min<std::uint64_t>(left, text.size()));
            left -= text.size();
            while (!text.empty()) {
                const std::size_t piece = std::min<std::size_t>(text.size(), kPieceBytes);
                sink(text.substr(0, piece));
                text.remove_prefix(piece);
            }
            return left > 0;
        });
}

}  // namespace tumblecast
