#pragma once

#include <QAccessibleWidget>
#include <QObject>
#include <QString>

namespace tumblecast {

class ResultBox;

// The result box as a screen reader reads it: a read-only, multi-line text whose characters, lines, words,
// caret and selection come from its text source by offset, so that a slice of a huge roll is read without
// building the whole text. Offsets past what an int counts are out of reach.
class ResultBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ResultBoxAccessible(ResultBox* box);

    // The most characters one request returns: a reader asking for everything gets the first part.
    static constexpr int kMaxText = 1 << 22;

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    using QAccessibleWidget::text;

private:
    ResultBox* box() const;
    // The unit of text around offset, as [start, end).
    void unitAt(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const;
};

// Tells a listening screen reader, once the handler that changed the box has ended, what the box now
// begins with: a run announces its record once, however many pieces it appended.
class ResultBoxAnnouncer final : public QObject {
    Q_OBJECT
public:
    explicit ResultBoxAnnouncer(ResultBox* box);

signals:
    // After each announcement, with the text that the box now begins with.
    void announced(const QString& head);

private:
    void announce();

    ResultBox* m_box;
    QString m_announced;
    bool m_pending = false;
};

// Gives box its accessible text interface and announces its changes.
void makeAccessible(ResultBox* box);

}  // namespace tumblecast
