#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/caret_moves.h"
#include "engine/selection.h"
#include "engine/text_source.h"
#include "windows/main/line_scale.h"

class QAction;
class QMenu;

namespace tumblecast {

// The main window's result box: a read-only, multi-line text box with both scroll bars that owns its text
// (a TextSource) instead of handing it to a QTextDocument, which could neither hold a large roll nor keep
// its CR LF line ends. Only the visible lines are painted, each asked for by its number: a text that renders
// its lines on demand is never made to measure the lines above the view.
class ResultBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Selections longer than this are not copied: as UTF-16 they would take twice as much again, and the
    // clipboard copies them once more.
    static constexpr std::uint64_t kCopyLimit = 256'000'000;

    explicit ResultBox(QWidget* parent = nullptr);
    ~ResultBox() override;

    const TextSource& source() const { return *m_source; }
    bool isEmpty() const { return m_source->empty(); }
    // The whole text; for small texts.
    QString text() const;

    // Empties the box and lets go of its text; a change only when it held text.
    void clear();
    // Shows text handed over whole (a run's record) in place of the box's text: one change.
    void showText(std::shared_ptr<const TextSource> text);

    Selection selection() const { return m_selection; }
    void setSelection(std::uint64_t start, std::uint64_t length);  // clamped to the text
    std::uint64_t selStart() const { return m_selection.start(); }
    std::uint64_t selLength() const { return m_selection.length(); }
    QString selectedText() const;
    void selectAll();
    // Emits copyRequested() when there is a selection, or messageRequested() when it cannot be copied.
    void copy();
    void setCopyLimit(std::uint64_t bytes) { m_copyLimit = bytes; }

    // A menu with Copy and Select All for the current selection, then the record's own actions; the caller
    // owns it.
    QMenu* createContextMenu(QWidget* parent = nullptr);
    // An action on the whole record, at the end of the menu after a separator, usable while there is one
    // (always, for one that makes a record).
    void addRecordAction(QAction* action, bool needsRecord = true)
    {
        m_recordActions.append({action, needsRecord});
    }
    // A setting of the program, after the selection's actions and before the record's; always usable.
    void addOptionAction(QAction* action) { m_optionActions << action; }

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
    // Something the user must be told, in a message box.
    void messageRequested(const QString& prompt);

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

    void replaceText(std::shared_ptr<const TextSource> text);
    QString textOf(std::uint64_t offset, std::uint64_t length) const;
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

    std::shared_ptr<const TextSource> m_source;
    QList<std::pair<QAction*, bool>> m_recordActions;  // and whether it needs a record
    QList<QAction*> m_optionActions;
    Selection m_selection;
    std::uint64_t m_copyLimit = kCopyLimit;
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
