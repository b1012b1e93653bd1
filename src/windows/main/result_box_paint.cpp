// The result box's painting: only the visible lines, each asked for by its number, with the selection and
// the caret over them.
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <string>
#include <string_view>

#include "windows/main/result_box.h"

namespace tumblecast {

namespace {

// One byte is one column, whatever it is; control characters would draw as boxes or move the pen.
QString displayText(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        text[static_cast<qsizetype>(i)] = (c < 0x20 || (c >= 0x7f && c < 0xa0)) ? QChar(u' ') : QChar(c);
    }
    return text;
}

}  // namespace

void ResultBox::paintEvent(QPaintEvent* e)
{
    QPainter painter(viewport());
    const QPalette::ColorGroup group = !isEnabled() ? QPalette::Disabled
                                       : hasFocus() ? QPalette::Active
                                                    : QPalette::Inactive;
    const QPalette& colours = palette();
    const QRect area = e->rect();
    painter.fillRect(area, colours.brush(group, QPalette::Base));
    painter.setFont(font());

    const auto x = [this](std::uint64_t column) {
        return kLeftMargin + (static_cast<double>(column) - static_cast<double>(m_leftColumn)) * m_charWidth;
    };
    // Characters are placed on the column grid by hand when the font cannot be trusted to do it.
    const auto drawRun = [&](std::uint64_t column, const QString& text, int baseline) {
        if (m_fixedPitch) {
            painter.drawText(QPointF(x(column), baseline), text);
            return;
        }
        for (qsizetype i = 0; i < text.size(); ++i)
            painter.drawText(QPointF(x(column + static_cast<std::uint64_t>(i)), baseline), QString(text[i]));
    };

    const TextSource& source = *m_source;
    const std::uint64_t lines = source.lineCount();
    // The selection's ends as lines and columns. They lie where the text has been measured already (the
    // selection was made there); the lines painted are asked for by number and need no offsets.
    struct End {
        std::uint64_t line = 0;
        std::uint64_t column = 0;  // from the line's start, into its line end if the offset is there
    };
    const bool selected = !m_selection.empty();
    const auto endAt = [&source](std::uint64_t offset) {
        const LineNumber line = source.lineAt(TextOffset(offset));
        return End{line.value, TextOffset(offset) - source.lineStart(line)};
    };
    const End selFrom = selected ? endAt(m_selection.start()) : End{};
    const End selTo = selected ? endAt(m_selection.start() + m_selection.length()) : End{};
    const auto columns = static_cast<std::uint64_t>(columnsPerPage()) + 1;
    const int firstRow = std::max(0, static_cast<int>(floorDiv(area.top() - kTopMargin, m_lineHeight)));
    const int lastRow = static_cast<int>(floorDiv(area.bottom() - kTopMargin, m_lineHeight));

    for (int row = firstRow; row <= lastRow && m_topLine + row < lines; ++row) {
        const std::uint64_t line = m_topLine + static_cast<std::uint64_t>(row);
        const std::string chars = source.line(LineNumber(line));
        const std::uint64_t length = chars.size();
        const int top = kTopMargin + row * m_lineHeight;
        const int baseline = top + m_ascent;

        const std::uint64_t from = std::min(m_leftColumn, length);
        const std::uint64_t to = std::min(length, m_leftColumn + columns);
        const QString text = displayText(std::string_view(chars).substr(from, to - from));
        // Where a selection end falls among the columns painted of this line.
        const auto columnIn = [&](const End& end) {
            return line < end.line ? to : line > end.line ? from : std::clamp(end.column, from, to);
        };
        const std::uint64_t a = selected ? columnIn(selFrom) : from;
        const std::uint64_t b = selected ? columnIn(selTo) : from;

        painter.setPen(colours.color(group, QPalette::Text));
        drawRun(from, text.left(static_cast<qsizetype>(a - from)), baseline);
        drawRun(b, text.mid(static_cast<qsizetype>(b - from)), baseline);
        if (a < b) {
            painter.fillRect(QRectF(x(a), top, (b - a) * m_charWidth, m_lineHeight),
                             colours.brush(group, QPalette::Highlight));
            painter.setPen(colours.color(group, QPalette::HighlightedText));
            drawRun(a, text.mid(static_cast<qsizetype>(a - from), static_cast<qsizetype>(b - a)), baseline);
        }
        // A selected line end shows as one highlighted cell after the line.
        const bool endSelected =
            selected && line + 1 < lines &&
            (selFrom.line < line || (selFrom.line == line && selFrom.column <= length)) &&
            (selTo.line > line || (selTo.line == line && selTo.column > length));
        if (endSelected)
            painter.fillRect(QRectF(x(length), top, m_charWidth, m_lineHeight),
                             colours.brush(group, QPalette::Highlight));
    }

    if (hasFocus() && m_caretShown) {
        const QPoint caret = pointOf(m_selection.cursor);
        painter.fillRect(QRect(caret.x(), caret.y(), 1, m_lineHeight), colours.brush(group, QPalette::Text));
    }
}

}  // namespace tumblecast
