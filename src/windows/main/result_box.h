#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/caret_moves.h"
#include "engine/selection.h"
#include "engine/text_source.h"
#include "windows/main/line_scale.h"

class QMenu;

namespace tumblecast {

// The main window's result box: a read-only, multi-line text box with both scroll bars that owns its text
// (a TextSource) instead of handing it to a QTextDocument, which could neither hold a large roll nor keep
// its CR LF line ends. Only the visible lines are painted.
class ResultBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ResultBox(QWidget* parent = nullptr);
    ~ResultBox() override;

    const TextSource& source() const { return m_buffer; }
    bool isEmpty() const { return m_buffer.empty(); }
    QString text() const;

    // Empties the box; a change only when it held text.
    void clear();
    // Adds text at the end; a change only when text is not empty.
    void append(std::string_view text);

    Selection selection() const { return m_selection; }
    void setSelection(std::uint64_t start, std::uint64_t length);  // clamped to the text
    std::uint64_t selStart() const { return m_selection.start(); }
    std::uint64_t selLength() const { return m_selection.length(); }
    QString selectedText() const;
    void selectAll();
    // Emits copyRequested() when there is a selection.
    void copy();

    // A menu with Copy and Select All for the current selection; the caller owns it.
    QMenu* createContextMenu(QWidget* parent = nullptr);

    // Geometry, in viewport coordinates. Every line is lineHeight() high and every character is
    // charWidth() wide.
    int lineHeight() const { return m_lineHeight; }
    qreal charWidth() const { return m_charWidth; }
    int linesPerPage() const;    // whole lines that fit
    int columnsPerPage() const;  // whole characters that fit
    std::uint64_t firstVisibleLine() const { return m_topLine; }
    // Top left of the caret placed before offset.
    QPoint pointOf(std::uint64_t offset) const;
    // The caret offset nearest to pos, always inside a line, never in its line end.
    std::uint64_t offsetAt(QPoint pos) const;
    void ensureCursorVisible();

signals:
    // After every change of the text.
    void changed();
    // The user asked for a copy of the selection (Ctrl+C, Ctrl+Insert, the context menu).
    void copyRequested(const QString& text);

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static constexpr int kLeftMargin = 2;
    static constexpr int kTopMargin = 1;
    static constexpr int kDragScrollInterval = 50;

    void textChanged();
    void updateScrollBars();
    void updateMetrics();
    bool handleKey(const QKeyEvent& event);
    void applyCaretMove(CaretMove move, bool extend);
    void moveCursor(std::uint64_t offset, bool extend);
    std::uint64_t lineAtY(int y) const;
    std::uint64_t maxTopLine() const;
    void scrollTo(std::uint64_t topLine, std::uint64_t leftColumn);
    void dragTo(QPoint pos);
    void selectWordAt(QPoint pos);
    void restartCaret();

    BufferSource m_buffer;
    Selection m_selection;
    bool m_layoutPending = false;

    qreal m_charWidth = 1;
    int m_lineHeight = 1;
    int m_ascent = 0;
    bool m_fixedPitch = true;

    std::uint64_t m_topLine = 0;
    std::uint64_t m_leftColumn = 0;
    LineScale m_scale;
    bool m_syncingBars = false;

    // The column Up and Down aim for, kept across short lines.
    std::optional<std::uint64_t> m_goalColumn;

    bool m_dragging = false;
    QPoint m_dragPos;
    QBasicTimer m_dragTimer;
    QBasicTimer m_caretTimer;
    bool m_caretShown = true;
};

}  // namespace tumblecast
