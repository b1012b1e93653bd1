#include "text_source.h"

#include <algorithm>

namespace tumblecast {

void TextSource::forEachPiece(std::uint64_t offset, std::uint64_t length, const PieceSink& sink) const
{
    const std::uint64_t end = offset + std::min(length, size() - std::min(offset, size()));
    for (std::uint64_t at = offset; at < end; at += kPieceBytes)
        sink(slice(at, std::min(kPieceBytes, end - at)));
}

BufferSource::BufferSource() : m_lineStarts{0} {}

void BufferSource::clear()
{
    m_text.clear();
    m_lineStarts.assign(1, 0);
    m_longest = 0;
}

void BufferSource::append(std::string_view text)
{
    const std::uint64_t base = m_text.size();
    m_text.append(text);
    for (std::size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1)) {
        m_lineStarts.push_back(base + i + 1);
        m_longest = std::max(m_longest, lineLength(m_lineStarts.size() - 2));
    }
    m_longest = std::max(m_longest, lineLength(m_lineStarts.size() - 1));
}

std::uint64_t BufferSource::lineLength(std::uint64_t k) const
{
    const bool last = k + 1 == m_lineStarts.size();
    std::uint64_t end = last ? m_text.size() : m_lineStarts[k + 1] - 1;  // at the LF
    if (!last && end > m_lineStarts[k] && m_text[end - 1] == '\r') --end;
    return end - m_lineStarts[k];
}

std::uint64_t BufferSource::lineAt(std::uint64_t offset) const
{
    const auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    return static_cast<std::uint64_t>(it - m_lineStarts.begin()) - 1;
}

std::string BufferSource::slice(std::uint64_t offset, std::uint64_t length) const
{
    if (offset >= m_text.size()) return {};
    return m_text.substr(offset, length);
}

void BufferSource::forEachPiece(std::uint64_t offset, std::uint64_t length, const PieceSink& sink) const
{
    const std::string_view text(m_text);
    const std::uint64_t end =
        offset + std::min(length, text.size() - std::min<std::uint64_t>(offset, text.size()));
    for (std::uint64_t at = offset; at < end; at += kPieceBytes)
        sink(text.substr(at, std::min(kPieceBytes, end - at)));
}

}  // namespace tumblecast
