#include "windows/main/result_box_accessible.h"

#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <climits>

#include "engine/caret_moves.h"
#include "windows/common/accessibility.h"
#include "windows/main/result_box.h"

namespace tumblecast {

namespace {

// The first characters of the box that a change announces.
constexpr int kAnnounced = 1 << 16;

int clampOffset(std::uint64_t offset) { return static_cast<int>(std::min<std::uint64_t>(offset, INT_MAX)); }

}  // namespace

ResultBoxAccessible::ResultBoxAccessible(ResultBox* box) : QAccessibleWidget(box, QAccessible::EditableText)
{
}

ResultBox* ResultBoxAccessible::box() const { return static_cast<ResultBox*>(widget()); }

void* ResultBoxAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State ResultBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

int ResultBoxAccessible::characterCount() const { return clampOffset(box()->source().size()); }

void ResultBoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    const Selection s = box()->selection();
    if (selectionIndex != 0 || s.empty()) {
        *startOffset = *endOffset = 0;
        return;
    }
    *startOffset = clampOffset(s.start());
    *endOffset = clampOffset(s.start() + s.length());
}

int ResultBoxAccessible::selectionCount() const { return box()->selection().empty() ? 0 : 1; }

void ResultBoxAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void ResultBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0) box()->setSelection(box()->selection().cursor, 0);
}

void ResultBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0 || startOffset < 0 || endOffset < startOffset) return;
    box()->setSelection(static_cast<std::uint64_t>(startOffset),
                        static_cast<std::uint64_t>(endOffset - startOffset));
}

int ResultBoxAccessible::cursorPosition() const { return clampOffset(box()->selection().cursor); }

void ResultBoxAccessible::setCursorPosition(int position)
{
    if (position >= 0) box()->setSelection(static_cast<std::uint64_t>(position), 0);
}

QString ResultBoxAccessible::text(int startOffset, int endOffset) const
{
    const int count = characterCount();
    startOffset = std::clamp(startOffset, 0, count);
    endOffset = std::clamp(endOffset, startOffset, count);
    const int length = std::min(endOffset - startOffset, kMaxText);
    if (length == 0) return {};
    // The record is ASCII: one byte, one character.
    const std::string bytes = box()->source().slice(TextOffset(static_cast<std::uint64_t>(startOffset)),
                                                    static_cast<std::uint64_t>(length));
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void ResultBoxAccessible::unitAt(int offset, QAccessible::TextBoundaryType boundary, int* start,
                                 int* end) const
{
    const TextSource& source = box()->source();
    const int count = characterCount();
    offset = std::clamp(offset, 0, count);
    const auto at = static_cast<std::uint64_t>(offset);
    switch (boundary) {
        case QAccessible::CharBoundary:
            *start = offset;
            *end = std::min(offset + 1, count);
            return;
        case QAccessible::WordBoundary: {
            const LineNumber line = source.lineAt(TextOffset(at));
            if (const auto word = wordAt(source, line, columnOf(source, TextOffset(at), line))) {
                *start = clampOffset(word->start());
                *end = clampOffset(word->start() + word->length());
                return;
            }
            *start = offset;
            *end = std::min(offset + 1, count);
            return;
        }
        case QAccessible::NoBoundary:
            *start = 0;
            *end = count;
            return;
        case QAccessible::SentenceBoundary:
        case QAccessible::ParagraphBoundary:
        case QAccessible::LineBoundary:
            break;
    }
    // A line with its line end, as readers expect.
    const LineNumber line = source.lineAt(TextOffset(at));
    *start = clampOffset(source.lineStart(line).value);
    *end = line.value + 1 < source.lineCount() ? clampOffset(source.lineStart(line + 1).value) : count;
}

QString ResultBoxAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundary,
                                          int* startOffset, int* endOffset) const
{
    unitAt(offset, boundary, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QString ResultBoxAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary,
                                              int* startOffset, int* endOffset) const
{
    int start = 0;
    int end = 0;
    unitAt(offset, boundary, &start, &end);
    if (start == 0 || boundary == QAccessible::NoBoundary) {
        *startOffset = *endOffset = 0;
        return {};
    }
    return textAtOffset(start - 1, boundary, startOffset, endOffset);
}

QString ResultBoxAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundary,
                                             int* startOffset, int* endOffset) const
{
    int start = 0;
    int end = 0;
    unitAt(offset, boundary, &start, &end);
    if (end >= characterCount() || boundary == QAccessible::NoBoundary) {
        *startOffset = *endOffset = characterCount();
        return {};
    }
    return textAtOffset(end, boundary, startOffset, endOffset);
}

QRect ResultBoxAccessible::characterRect(int offset) const
{
    const QPoint topLeft = box()->viewport()->mapToGlobal(box()->pointOf(static_cast<std::uint64_t>(offset)));
    return {topLeft, QSize(qCeil(box()->charWidth()), box()->lineHeight())};
}

int ResultBoxAccessible::offsetAtPoint(const QPoint& point) const
{
    return clampOffset(box()->offsetAt(box()->viewport()->mapFromGlobal(point)));
}

void ResultBoxAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    setSelection(0, startIndex, endIndex);
    box()->ensureCursorVisible();
}

QString ResultBoxAccessible::attributes(int, int* startOffset, int* endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void makeAccessible(ResultBox* box)
{
    static const bool installed = [] {
        QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
            if (auto* resultBox = qobject_cast<ResultBox*>(object)) return new ResultBoxAccessible(resultBox);
            return nullptr;
        });
        return true;
    }();
    (void)installed;
    if (!dynamic_cast<ResultBoxAccessible*>(QAccessible::queryAccessibleInterface(box))) forgetInterface(box);
    new ResultBoxAnnouncer(box);
}

ResultBoxAnnouncer::ResultBoxAnnouncer(ResultBox* box) : QObject(box), m_box(box)
{
    connect(box, &ResultBox::changed, this, [this] {
        if (m_pending) return;
        m_pending = true;
        QTimer::singleShot(0, this, &ResultBoxAnnouncer::announce);
    });
}

void ResultBoxAnnouncer::announce()
{
    m_pending = false;
    const std::string head = m_box->source().slice(TextOffset(), kAnnounced);
    const QString now = QString::fromLatin1(head.data(), static_cast<qsizetype>(head.size()));
    QAccessibleTextUpdateEvent event(m_box, 0, m_announced, now);
    QAccessible::updateAccessibility(&event);
    m_announced = now;
    emit announced(now);
}

}  // namespace tumblecast
