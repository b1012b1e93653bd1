#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/die_source.h"
#include "engine/measured_prefix.h"
#include "engine/text_source.h"
#include "notation/expression.h"
#include "notation/roller.h"
#include "notation_record/notation_layout.h"

namespace tumblecast {

// The record of a notation roll (NotationLayout), rendered on demand from its dice instead of stored:
// repetition r takes the expression's stride of source values from firstValue + r * stride, so any
// repetition is rolled on its own.
//
// What calls cost:
// - construction, empty(), lineCount(), longestLine(): O(terms);
// - a line and its length: rolling its repetition, unless it is one of the two last rendered;
// - the first call that needs an offset in repetition r (lineStart, lineAt, slice, forEachPiece, size)
//   measures every repetition up to r that is not yet measured: a pass over their dice, shared among the
//   cores when it is long, after which an offset costs a search and one rendered repetition.
// forEachPiece renders ahead on every core while the sink takes the pieces in order on the calling
// thread; a sink that throws ends the stream.
//
// The const calls fill these caches: use a record from one thread at a time. The source must outlive it.
class NotationRecord final : public TextSource {
public:
    NotationRecord(notation::Expression expression, const DieSource& source, std::uint64_t firstValue);
    // The record of the next roll on source, whose values start at nextValue; nextValue moves past them.
    static std::unique_ptr<NotationRecord> roll(notation::Expression expression, const DieSource& source,
                                                std::uint64_t& nextValue);

    const notation::Expression& expression() const { return *m_expression; }
    const DieSource& source() const { return *m_source; }
    std::uint64_t firstValue() const { return m_first; }
    // The source values the roll takes.
    std::uint64_t values() const { return m_expression->times * m_expression->stride(); }
    std::uint64_t repetitions() const { return m_expression->times; }
    const NotationLayout& layout() const { return m_layout; }
    // Repetitions 0 to measuredRepetitions() - 1 have their offsets known.
    std::uint64_t measuredRepetitions() const { return m_measured.count(); }
    // Rolls repetitions [begin, end) into their room in `into` (each one's total as its sum, its length in
    // bytes, one unit a repetition), and hands each to visit as rolled. Touches no cache of the record's, so
    // it may run on any thread, and on several at once for different repetitions.
    template <class Visit>
    void measure(std::uint64_t begin, std::uint64_t end, MeasuredStretch& into, Visit&& visit) const;
    // Takes repetitions measured elsewhere.
    void adopt(const MeasuredStretch& measured) const { m_measured.adopt(measured); }

    bool empty() const override { return false; }
    std::string line(LineNumber k) const override;

    std::uint64_t size() const override;
    std::uint64_t lineCount() const override { return repetitions() * m_layout.linesPerRepetition() + 1; }
    TextOffset lineStart(LineNumber k) const override;
    std::uint64_t lineLength(LineNumber k) const override;
    std::uint64_t longestLine() const override { return m_layout.longestLine(); }
    LineNumber lineAt(TextOffset offset) const override;
    std::string slice(TextOffset offset, std::uint64_t length) const override;
    void forEachPiece(TextOffset offset, std::uint64_t length, const PieceSink& sink) const override;

private:
    struct Rendered {
        std::uint64_t repetition = ~0ull;
        std::string text;
        std::vector<std::uint64_t> lineStarts;  // one past the last line: the repetition's end
    };
    const Rendered& rendered(std::uint64_t r) const;
    void measureUpTo(std::uint64_t reps) const;
    // The repetition holding offset, measured; the repetition count when offset is at or past the end.
    std::uint64_t repetitionAt(std::uint64_t offset) const;

    // On the heap, so that the roller and the layout keep pointing at it when the record moves.
    std::unique_ptr<const notation::Expression> m_expression;
    const DieSource* m_source;
    std::uint64_t m_first;
    NotationLayout m_layout;
    notation::Roller m_roller;

    mutable notation::RolledRepetition m_rolled;
    mutable Rendered m_shown[2];  // the two last rendered: a screen may show the end of one and the next
    mutable unsigned m_older = 0;
    mutable MeasuredPrefix m_measured{1};
};

template <class Visit>
void NotationRecord::measure(std::uint64_t begin, std::uint64_t end, MeasuredStretch& into,
                             Visit&& visit) const
{
    const notation::Roller roller(*m_expression, *m_source, m_first);
    notation::RolledRepetition rolled;
    for (std::uint64_t r = begin; r < end; ++r) {
        roller.roll(r, rolled);
        ByteCount bytes;
        m_layout.write(rolled, bytes);
        *into.sumAt(r - into.begin) = static_cast<std::uint64_t>(rolled.total);
        *into.bytesAt(r - into.begin) = bytes.bytes;
        visit(rolled);
    }
}

}  // namespace tumblecast
