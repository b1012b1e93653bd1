// The result box's keyboard and mouse: caret moves, selection by dragging and double click, the context
// menu.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <cmath>
#include <utility>

#include "windows/main/result_box.h"

namespace tumblecast {

// ---- Keyboard ----

namespace {

struct KeyMove {
    QKeySequence::StandardKey move;
    QKeySequence::StandardKey select;
    CaretMove caret;
};

constexpr KeyMove kKeyMoves[] = {
    {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, CaretMove::CharLeft},
    {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, CaretMove::CharRight},
    {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, CaretMove::WordLeft},
    {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, CaretMove::WordRight},
    {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, CaretMove::LineUp},
    {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, CaretMove::LineDown},
    {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, CaretMove::PageUp},
    {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, CaretMove::PageDown},
    {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, CaretMove::LineStart},
    {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, CaretMove::LineEnd},
    {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, CaretMove::TextStart},
    {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, CaretMove::TextEnd},
};

// The caret move a key asks for, and whether it extends the selection.
std::optional<std::pair<CaretMove, bool>> caretMoveFor(const QKeyEvent& key)
{
    for (const KeyMove& row : kKeyMoves) {
        if (key.matches(row.move)) return std::pair{row.caret, false};
        if (key.matches(row.select)) return std::pair{row.caret, true};
    }
    return std::nullopt;
}

bool isCommand(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Copy) || key.matches(QKeySequence::SelectAll);
}

}  // namespace

bool ResultBox::event(QEvent* e)
{
    // Keys the box acts on are its own, even when a shortcut elsewhere in the window wants them too.
    if (e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (caretMoveFor(*key) || isCommand(*key)) {
            key->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

void ResultBox::keyPressEvent(QKeyEvent* e)
{
    // Anything else, typing included, is not for a read-only box; Tab never gets here.
    if (!handleKey(*e)) e->ignore();
}

bool ResultBox::handleKey(const QKeyEvent& e)
{
    if (const auto move = caretMoveFor(e)) {
        applyCaretMove(move->first, move->second);
        return true;
    }
    if (e.matches(QKeySequence::SelectAll)) {
        selectAll();
        return true;
    }
    if (e.matches(QKeySequence::Copy)) {
        copy();
        return true;
    }
    // The menu key's other name, for keyboards without one.
    if (e.key() == Qt::Key_F10 && e.modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), mapToGlobal(QPoint()), e.modifiers());
        contextMenuEvent(&menu);
        return true;
    }
    return false;
}

void ResultBox::applyCaretMove(CaretMove move, bool extend)
{
    const auto page = static_cast<std::uint64_t>(linesPerPage());
    // The view turns a page with the caret, so the caret keeps its place on the screen.
    if (move == CaretMove::PageDown) m_topLine = std::min(m_topLine + page, maxTopLine());
    if (move == CaretMove::PageUp) m_topLine -= std::min(m_topLine, page);
    const CaretState moved = applyMove(*m_source, {m_selection, m_goalColumn}, move, extend, page);
    m_selection = moved.selection;
    m_goalColumn = moved.goalColumn;
    restartCaret();
    ensureCursorVisible();
}

void ResultBox::moveCursor(std::uint64_t offset, bool extend)
{
    m_selection.cursor = offset;
    if (!extend) m_selection.anchor = offset;
    restartCaret();
    ensureCursorVisible();
}

// ---- Mouse ----

void ResultBox::mousePressEvent(QMouseEvent* e)
{
    // The right button keeps the selection for the context menu to act on.
    if (e->button() != Qt::LeftButton) return;
    const QPoint pos = e->position().toPoint();
    m_goalColumn.reset();
    m_dragging = true;
    m_dragPos = pos;
    moveCursor(offsetAt(pos), e->modifiers() & Qt::ShiftModifier);
}

void ResultBox::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_dragging || !(e->buttons() & Qt::LeftButton)) return;
    m_dragPos = e->position().toPoint();
    dragTo(m_dragPos);
    // Outside the box the view keeps scrolling towards the pointer while it is held there.
    if (viewport()->rect().contains(m_dragPos))
        m_dragTimer.stop();
    else if (!m_dragTimer.isActive())
        m_dragTimer.start(kDragScrollInterval, this);
}

void ResultBox::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return;
    m_dragging = false;
    m_dragTimer.stop();
}

void ResultBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) return;
    m_dragging = false;
    m_dragTimer.stop();
    selectWordAt(e->position().toPoint());
}

void ResultBox::dragTo(QPoint pos)
{
    const QRect inside = viewport()->rect();
    const QPoint clamped(std::clamp(pos.x(), inside.left(), inside.right()),
                         std::clamp(pos.y(), inside.top(), inside.bottom()));
    m_selection.cursor = offsetAt(clamped);
    m_goalColumn.reset();
    restartCaret();
    viewport()->update();
}

void ResultBox::selectWordAt(QPoint pos)
{
    const double column =
        static_cast<double>(m_leftColumn) + std::floor((pos.x() - kLeftMargin) / m_charWidth);
    if (column < 0) return;
    const auto word = wordAt(*m_source, LineNumber(lineAtY(pos.y())), static_cast<std::uint64_t>(column));
    if (!word) return;
    m_selection = *word;
    m_goalColumn.reset();
    restartCaret();
    ensureCursorVisible();
}

void ResultBox::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu* menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // From the keyboard the menu opens at the caret, where the user is looking.
    const QPoint caret = pointOf(m_selection.cursor) + QPoint(0, m_lineHeight);
    const bool atCaret = e->reason() == QContextMenuEvent::Keyboard && viewport()->rect().contains(caret);
    menu->popup(atCaret ? viewport()->mapToGlobal(caret) : e->globalPos());
}

}  // namespace tumblecast
