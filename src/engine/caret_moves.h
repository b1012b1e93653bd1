#pragma once

#include <cstdint>
#include <optional>

#include "engine/selection.h"
#include "engine/text_source.h"

namespace tumblecast {

// The caret moves of a read-only text view, over any text source and without a widget.
enum class CaretMove {
    CharLeft,
    CharRight,
    WordLeft,
    WordRight,
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    LineStart,
    LineEnd,
    TextStart,
    TextEnd,
};

// The selection, and the column that Up and Down aim for: kept across shorter lines, forgotten by every
// other move.
struct CaretState {
    Selection selection;
    std::optional<std::uint64_t> goalColumn;
};

// The state after a move. extend (Shift held) keeps the anchor; without it, Left and Right first collapse
// a selection to its own side. A page is pageLines lines.
CaretState applyMove(const TextSource& text, CaretState state, CaretMove move, bool extend,
                     std::uint64_t pageLines);

// Offset just after the last character of line k, before its line end.
TextOffset lineEndOffset(const TextSource& text, LineNumber line);
// The column of offset in line; a caret inside a line end is drawn, and moves, as if at the end of its line.
std::uint64_t columnOf(const TextSource& text, TextOffset offset, LineNumber line);
// The word under column of line: a run of non-blank characters, or the run of blanks between two words.
// Nothing past the end of the line.
std::optional<Selection> wordAt(const TextSource& text, LineNumber line, std::uint64_t column);

}  // namespace tumblecast
