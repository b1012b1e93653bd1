#pragma once

#include <QAbstractScrollArea>
#include <QString>

#include <cstdint>
#include <string_view>

#include "engine/text_source.h"
#include "windows/main/selection.h"

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

    // Text = "": a change only when the box held text.
    void clear();
    // Text = Text & text: a change only when text is not empty.
    void append(std::string_view text);

    Selection selection() const { return m_selection; }
    void setSelection(std::uint64_t start, std::uint64_t length);  // clamped to the text
    std::uint64_t selStart() const { return m_selection.start(); }
    std::uint64_t selLength() const { return m_selection.length(); }
    QString selectedText() const;
    void selectAll();

signals:
    // After every change of the text.
    void changed();
    // The user asked for a copy of the selection (Ctrl+C, Ctrl+Insert, the context menu).
    void copyRequested(const QString& text);

protected:
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
    void textChanged();
    void updateScrollBars();

    BufferSource m_buffer;
    Selection m_selection;
    bool m_layoutPending = false;
};

}  // namespace tumblecast
