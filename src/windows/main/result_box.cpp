// The result box's view: its text, selection, scrolling and copying. Keyboard and mouse input live apart
// in result_box_input.cpp, painting in result_box_paint.cpp; all share the view's metrics and scroll state.
#include "windows/main/result_box.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QMenu>
#include <QScrollBar>
#include <QTimerEvent>

#include <QStringDecoder>

#include <cmath>
#include <new>

#include "engine/messages.h"
#include "windows/common/controls.h"

namespace tumblecast {

ResultBox::ResultBox(QWidget* parent) : QAbstractScrollArea(parent)
{
    m_source = std::make_shared<BufferSource>();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setAttribute(Qt::WA_InputMethodEnabled, false);

    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(dialogFont().pointSize());
    setFont(font);
    updateMetrics();
    updateScrollBars();
}

ResultBox::~ResultBox() = default;

QString ResultBox::text() const { return textOf(0, m_source->size()); }

// Straight from the text's pieces into the string's own buffer: one copy, however long the text.
QString ResultBox::textOf(std::uint64_t offset, std::uint64_t length) const
{
    // UTF-8 never decodes to more UTF-16 units than it has bytes.
    QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
    QChar* const begin = text.data();
    QChar* out = begin;
    QStringDecoder decoder(QStringDecoder::Utf8);
    m_source->forEachPiece(TextOffset(offset), length, [&](std::string_view piece) {
        out = decoder.appendToBuffer(out, QByteArrayView(piece.data(), static_cast<qsizetype>(piece.size())));
    });
    text.truncate(out - begin);
    return text;
}

void ResultBox::replaceText(std::shared_ptr<const TextSource> text)
{
    m_source = std::move(text);
    m_selection = {};
    m_topLine = 0;
    m_leftColumn = 0;
    m_goalColumn.reset();
}

void ResultBox::clear()
{
    if (isEmpty()) return;
    std::shared_ptr<const TextSource> fresh;
    try {
        fresh = std::make_shared<BufferSource>();
    } catch (const std::bad_alloc&) {
        emit messageRequested(QString::fromLatin1(kOutOfMemory));
        return;
    }
    replaceText(std::move(fresh));
    textChanged();
}

void ResultBox::showText(std::shared_ptr<const TextSource> text)
{
    const bool wasEmpty = isEmpty();
    replaceText(std::move(text));
    if (!wasEmpty || !isEmpty()) textChanged();
}

void ResultBox::setSelection(std::uint64_t start, std::uint64_t length)
{
    const std::uint64_t size = m_source->size();
    start = std::min(start, size);
    m_selection = {start, start + std::min(length, size - start)};
    m_goalColumn.reset();
    restartCaret();
    viewport()->update();
}

QString ResultBox::selectedText() const { return textOf(m_selection.start(), m_selection.length()); }

void ResultBox::selectAll() { setSelection(0, m_source->size()); }

void ResultBox::copy()
{
    if (m_selection.empty()) return;
    const std::uint64_t length = m_selection.length();
    if (length > m_copyLimit) {
        const std::uint64_t megabytes = (length + 999'999) / 1'000'000;  // never "0 MB"
        emit messageRequested(
            tr("The selection is too large to copy (%1 MB). Export the result instead.").arg(megabytes));
        return;
    }
    // The text, and the clipboard's copy of it, may not fit; the box and its text stay as they were.
    try {
        emit copyRequested(selectedText());
    } catch (const std::bad_alloc&) {
        emit messageRequested(QString::fromLatin1(kOutOfMemory));
    }
}

QMenu* ResultBox::createContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    QAction* copyAction = menu->addAction(tr("&Copy"), this, &ResultBox::copy);
    copyAction->setEnabled(!m_selection.empty());
    QAction* selectAllAction = menu->addAction(tr("Select &All"), this, &ResultBox::selectAll);
    selectAllAction->setEnabled(!m_source->empty());
    if (!m_optionActions.isEmpty()) menu->addSeparator();
    menu->addActions(m_optionActions);
    if (!m_recordActions.isEmpty()) menu->addSeparator();
    for (const auto& [action, needsRecord] : m_recordActions) {
        action->setEnabled(!needsRecord || !m_source->empty());
        menu->addAction(action);
    }
    return menu;
}

// ---- Geometry ----

int ResultBox::linesPerPage() const
{
    return std::max(1, (viewport()->height() - kTopMargin) / m_lineHeight);
}

int ResultBox::columnsPerPage() const
{
    return std::max(1, static_cast<int>((viewport()->width() - kLeftMargin) / m_charWidth));
}

QPoint ResultBox::pointOf(std::uint64_t offset) const
{
    const LineNumber line = m_source->lineAt(TextOffset(offset));
    const double column = static_cast<double>(columnOf(*m_source, TextOffset(offset), line)) -
                          static_cast<double>(m_leftColumn);
    const double row = static_cast<double>(line.value) - static_cast<double>(m_topLine);
    const auto clampToInt = [](double v) {
        return static_cast<int>(std::clamp(v, double{INT_MIN}, double{INT_MAX}));
    };
    return {clampToInt(std::round(kLeftMargin + column * m_charWidth)),
            clampToInt(kTopMargin + row * m_lineHeight)};
}

std::uint64_t ResultBox::lineAtY(int y) const
{
    const std::int64_t row = floorDiv(std::int64_t{y} - kTopMargin, m_lineHeight);
    const std::uint64_t last = m_source->lineCount() - 1;
    if (row < 0) return m_topLine - std::min(m_topLine, static_cast<std::uint64_t>(-row));
    return std::min(m_topLine + static_cast<std::uint64_t>(row), last);
}

std::uint64_t ResultBox::offsetAt(QPoint pos) const
{
    const LineNumber line(lineAtY(pos.y()));
    const double cells = std::floor((pos.x() - kLeftMargin) / m_charWidth + 0.5);
    const double column = std::max(0.0, static_cast<double>(m_leftColumn) + cells);
    const std::uint64_t length = m_source->lineLength(line);
    return (m_source->lineStart(line) +
            (column >= static_cast<double>(length) ? length : static_cast<std::uint64_t>(column)))
        .value;
}

void ResultBox::updateMetrics()
{
    const QFontMetricsF metrics(font());
    m_charWidth = std::max(1.0, metrics.horizontalAdvance(QLatin1Char('0')));
    m_lineHeight = std::max(1, static_cast<int>(std::ceil(metrics.lineSpacing())));
    m_ascent = static_cast<int>(std::round(metrics.ascent()));
    m_fixedPitch = QFontInfo(font()).fixedPitch();
}

// ---- Scrolling ----

std::uint64_t ResultBox::maxTopLine() const
{
    const std::uint64_t lines = m_source->lineCount();
    const auto page = static_cast<std::uint64_t>(linesPerPage());
    return lines > page ? lines - page : 0;
}

void ResultBox::updateScrollBars()
{
    m_scale = LineScale::forMaxTop(maxTopLine());
    m_topLine = std::min(m_topLine, m_scale.maxTop);
    // One column more than the longest line, so that the caret after it can be shown.
    const std::uint64_t width = m_source->longestLine() + 1;
    const auto page = static_cast<std::uint64_t>(columnsPerPage());
    const int maxLeft = static_cast<int>(std::min<std::uint64_t>(width > page ? width - page : 0, INT_MAX));
    m_leftColumn = std::min<std::uint64_t>(m_leftColumn, maxLeft);

    m_syncingBars = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, m_scale.maximum());
    bar->setSingleStep(1);
    bar->setPageStep(static_cast<int>(std::max<std::uint64_t>(1, linesPerPage() / m_scale.linesPerStep)));
    bar->setValue(m_scale.valueOf(m_topLine));
    bar = horizontalScrollBar();
    bar->setRange(0, maxLeft);
    bar->setSingleStep(1);
    bar->setPageStep(columnsPerPage());
    bar->setValue(static_cast<int>(m_leftColumn));
    m_syncingBars = false;
    viewport()->update();
}

void ResultBox::scrollTo(std::uint64_t topLine, std::uint64_t leftColumn)
{
    m_topLine = topLine;
    m_leftColumn = leftColumn;
    updateScrollBars();
}

void ResultBox::ensureCursorVisible()
{
    const TextOffset cursor(m_selection.cursor);
    const LineNumber lineAtCursor = m_source->lineAt(cursor);
    const std::uint64_t column = columnOf(*m_source, cursor, lineAtCursor);
    const std::uint64_t line = lineAtCursor.value;
    const auto rows = static_cast<std::uint64_t>(linesPerPage());
    const auto columns = static_cast<std::uint64_t>(columnsPerPage());
    std::uint64_t top = m_topLine;
    std::uint64_t left = m_leftColumn;
    if (line < top) top = line;
    if (line >= top + rows) top = line - rows + 1;
    if (column < left) left = column;
    if (column >= left + columns) left = column - columns + 1;
    scrollTo(top, left);
}

void ResultBox::scrollContentsBy(int, int)
{
    // The bars only follow the view while it syncs them; otherwise the user moved one.
    if (!m_syncingBars) {
        m_topLine = m_scale.topOf(verticalScrollBar()->value());
        m_leftColumn = static_cast<std::uint64_t>(horizontalScrollBar()->value());
    }
    viewport()->update();
}

void ResultBox::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
}

void ResultBox::textChanged()
{
    if (!m_layoutPending) {
        m_layoutPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_layoutPending = false;
                updateScrollBars();
            },
            Qt::QueuedConnection);
    }
    emit changed();
}

// ---- Focus, caret, timers ----

void ResultBox::restartCaret()
{
    m_caretShown = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        m_caretTimer.start(flash / 2, this);
    else
        m_caretTimer.stop();
    viewport()->update();
}

void ResultBox::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_caretTimer.timerId()) {
        m_caretShown = !m_caretShown;
        viewport()->update();
    } else if (e->timerId() == m_dragTimer.timerId()) {
        const QRect inside = viewport()->rect();
        std::uint64_t top = m_topLine;
        std::uint64_t left = m_leftColumn;
        if (m_dragPos.y() < inside.top() && top > 0) --top;
        if (m_dragPos.y() > inside.bottom()) ++top;
        if (m_dragPos.x() < inside.left() && left > 0) --left;
        if (m_dragPos.x() > inside.right()) ++left;
        scrollTo(top, left);
        dragTo(m_dragPos);
    } else {
        QAbstractScrollArea::timerEvent(e);
    }
}

void ResultBox::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    restartCaret();
}

void ResultBox::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    m_caretTimer.stop();
    m_dragging = false;
    m_dragTimer.stop();
    viewport()->update();
}

void ResultBox::changeEvent(QEvent* e)
{
    QAbstractScrollArea::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        updateMetrics();
        updateScrollBars();
    }
}

}  // namespace tumblecast
