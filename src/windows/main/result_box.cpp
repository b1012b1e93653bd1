#include "windows/main/result_box.h"

#include <QPainter>

namespace tumblecast {

ResultBox::ResultBox(QWidget* parent) : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
}

ResultBox::~ResultBox() = default;

QString ResultBox::text() const { return QString::fromStdString(m_buffer.text()); }

void ResultBox::clear()
{
    if (m_buffer.empty()) return;
    m_buffer.clear();
    m_selection = {};
    textChanged();
}

void ResultBox::append(std::string_view text)
{
    if (text.empty()) return;
    m_buffer.append(text);
    textChanged();
}

void ResultBox::setSelection(std::uint64_t start, std::uint64_t length)
{
    start = std::min(start, m_buffer.size());
    m_selection = {start, start + std::min(length, m_buffer.size() - start)};
    viewport()->update();
}

QString ResultBox::selectedText() const
{
    return QString::fromStdString(m_buffer.slice(m_selection.start(), m_selection.length()));
}

void ResultBox::selectAll() { setSelection(0, m_buffer.size()); }

void ResultBox::textChanged()
{
    if (!m_layoutPending) {
        m_layoutPending = true;
        QMetaObject::invokeMethod(this, [this] {
            m_layoutPending = false;
            updateScrollBars();
            viewport()->update();
        }, Qt::QueuedConnection);
    }
    emit changed();
}

void ResultBox::updateScrollBars() {}

void ResultBox::paintEvent(QPaintEvent*) { QPainter p(viewport()); }
void ResultBox::resizeEvent(QResizeEvent* e) { QAbstractScrollArea::resizeEvent(e); }
void ResultBox::scrollContentsBy(int, int) { viewport()->update(); }
void ResultBox::keyPressEvent(QKeyEvent* e) { QAbstractScrollArea::keyPressEvent(e); }
void ResultBox::mousePressEvent(QMouseEvent* e) { QAbstractScrollArea::mousePressEvent(e); }
void ResultBox::mouseMoveEvent(QMouseEvent* e) { QAbstractScrollArea::mouseMoveEvent(e); }
void ResultBox::mouseReleaseEvent(QMouseEvent* e) { QAbstractScrollArea::mouseReleaseEvent(e); }
void ResultBox::mouseDoubleClickEvent(QMouseEvent* e) { QAbstractScrollArea::mouseDoubleClickEvent(e); }
void ResultBox::contextMenuEvent(QContextMenuEvent* e) { QAbstractScrollArea::contextMenuEvent(e); }
void ResultBox::focusInEvent(QFocusEvent* e) { QAbstractScrollArea::focusInEvent(e); }
void ResultBox::focusOutEvent(QFocusEvent* e) { QAbstractScrollArea::focusOutEvent(e); }

}  // namespace tumblecast
