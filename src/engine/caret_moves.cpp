#include "engine/caret_moves.h"

#include <algorithm>
#include <string>

#include "engine/text_source.h"

namespace tumblecast {

namespace {

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

TextOffset charLeft(const TextSource& text, TextOffset offset)
{
    const LineNumber line = text.lineAt(offset);
    const std::uint64_t column = columnOf(text, offset, line);
    if (column > 0) return text.lineStart(line) + column - 1;
    return line.value > 0 ? lineEndOffset(text, line - 1) : TextOffset();
}

TextOffset charRight(const TextSource& text, TextOffset offset)
{
    const LineNumber line = text.lineAt(offset);
    if (offset < lineEndOffset(text, line)) return offset + 1;
    return line.value + 1 < text.lineCount() ? text.lineStart(line + 1) : offset;
}

// A line end is a word boundary of its own: a word move stops at it before it crosses to the next line.
TextOffset wordLeft(const TextSource& text, TextOffset offset)
{
    const LineNumber line = text.lineAt(offset);
    std::uint64_t column = columnOf(text, offset, line);
    if (column == 0) return line.value > 0 ? lineEndOffset(text, line - 1) : TextOffset();
    const std::string chars = text.line(line);
    while (column > 0 && isBlank(chars[column - 1])) --column;
    while (column > 0 && !isBlank(chars[column - 1])) --column;
    return text.lineStart(line) + column;
}

TextOffset wordRight(const TextSource& text, TextOffset offset)
{
    const LineNumber line = text.lineAt(offset);
    std::uint64_t column = columnOf(text, offset, line);
    const std::string chars = text.line(line);
    if (column >= chars.size()) return charRight(text, offset);
    while (column < chars.size() && !isBlank(chars[column])) ++column;
    while (column < chars.size() && isBlank(chars[column])) ++column;
    return text.lineStart(line) + column;
}

TextOffset verticalMove(const TextSource& text, TextOffset offset, std::int64_t lines,
                        std::optional<std::uint64_t>& goalColumn)
{
    const LineNumber line = text.lineAt(offset);
    if (!goalColumn) goalColumn = columnOf(text, offset, line);
    const LineNumber last(text.lineCount() - 1);
    const auto distance = static_cast<std::uint64_t>(lines < 0 ? -lines : lines);
    const LineNumber target =
        lines < 0 ? line - std::min(line.value, distance) : std::min(last, line + distance);
    return text.lineStart(target) + std::min(*goalColumn, text.lineLength(target));
}

}  // namespace

TextOffset lineEndOffset(const TextSource& text, LineNumber line)
{
    return text.lineStart(line) + text.lineLength(line);
}

std::uint64_t columnOf(const TextSource& text, TextOffset offset, LineNumber line)
{
    return std::min(offset - text.lineStart(line), text.lineLength(line));
}

std::optional<Selection> wordAt(const TextSource& text, LineNumber line, std::uint64_t column)
{
    const std::string chars = text.line(line);
    if (column >= chars.size()) return std::nullopt;
    const bool blank = isBlank(chars[column]);
    std::uint64_t from = column;
    std::uint64_t to = column + 1;
    while (from > 0 && isBlank(chars[from - 1]) == blank) --from;
    while (to < chars.size() && isBlank(chars[to]) == blank) ++to;
    const std::uint64_t start = text.lineStart(line).value;
    return Selection{start + from, start + to};
}

CaretState applyMove(const TextSource& text, CaretState state, CaretMove move, bool extend,
                     std::uint64_t pageLines)
{
    Selection& selection = state.selection;
    const TextOffset cursor(selection.cursor);
    const auto page = static_cast<std::int64_t>(std::max<std::uint64_t>(1, pageLines));
    const bool collapse = !extend && !selection.empty();
    const bool vertical = move == CaretMove::LineUp || move == CaretMove::LineDown ||
                          move == CaretMove::PageUp || move == CaretMove::PageDown;
    if (!vertical) state.goalColumn.reset();

    TextOffset to = cursor;
    switch (move) {
        case CaretMove::CharLeft:
            to = collapse ? TextOffset(selection.start()) : charLeft(text, cursor);
            break;
        case CaretMove::CharRight:
            to = collapse ? TextOffset(selection.start() + selection.length()) : charRight(text, cursor);
            break;
        case CaretMove::WordLeft:
            to = wordLeft(text, cursor);
            break;
        case CaretMove::WordRight:
            to = wordRight(text, cursor);
            break;
        case CaretMove::LineUp:
            to = verticalMove(text, cursor, -1, state.goalColumn);
            break;
        case CaretMove::LineDown:
            to = verticalMove(text, cursor, 1, state.goalColumn);
            break;
        case CaretMove::PageUp:
            to = verticalMove(text, cursor, -page, state.goalColumn);
            break;
        case CaretMove::PageDown:
            to = verticalMove(text, cursor, page, state.goalColumn);
            break;
        case CaretMove::LineStart:
            to = text.lineStart(text.lineAt(cursor));
            break;
        case CaretMove::LineEnd:
            to = lineEndOffset(text, text.lineAt(cursor));
            break;
        case CaretMove::TextStart:
            to = TextOffset();
            break;
        case CaretMove::TextEnd:
            to = TextOffset(text.size());
            break;
    }
    selection.cursor = to.value;
    if (!extend) selection.anchor = to.value;
    return state;
}

}  // namespace tumblecast
