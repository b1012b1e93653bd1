#include "text_source.h"

#include <algorithm>

namespace tumblecast {

void TextSource::forEachPiece(TextOffset offset, std::uint64_t length, const PieceSink& sink) const
{
    const std::uint64_t end = offset.value + std::min(length, size() - std::min(offset.value, size()));
    for (std::uint64_t at = offset.value; at < end; at += kPieceBytes)
        sink(slice(TextOffset(at), std::min(kPieceBytes, end - at)));
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
        m_longest = std::max(m_longest, lineLength(LineNumber(m_lineStarts.size() - 2)));
    }
    m_longest = std::max(m_longest, lineLength(LineNumber(m_lineStarts.size() - 1)));
}

std::uint64_t BufferSource::lineLength(LineNumber line) const
{
    const std::uint64_t k = line.value;
    const bool last = k + 1 == m_lineStarts.size();
    std::uint64_t end = last ? m_text.size() : m_lineStarts[k + 1] - 1;  // at the LF
    if (!last && end > m_lineStarts[k] && m_text[end - 1] == '\r') --end;
    return end - m_lineStarts[k];
}

LineNumber BufferSource::lineAt(TextOffset offset) const
{
    const auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset.value);
    return LineNumber(static_cast<std::uint64_t>(it - m_lineStarts.begin()) - 1);
}

std::string BufferSource::slice(TextOffset offset, std::uint64_t length) const
{
    if (offset.value >= m_text.size()) return {};
    return m_text.substr(offset.value, length);
}

void BufferSource::forEachPiece(TextOffset offset, std::uint64_t length, const PieceSink& sink) const
{
    const std::string_view text(m_text);
    const std::uint64_t end =
        offset.value + std::min(length, text.size() - std::min<std::uint64_t>(offset.value, text.size()));
    for (std::uint64_t at = offset.value; at < end; at += kPieceBytes)
        sink(text.substr(at, std::min(kPieceBytes, end - at)));
}

}  // namespace tumblecast
