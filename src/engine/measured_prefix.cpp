#include "engine/measured_prefix.h"

#include <algorithm>
#include <stdexcept>

namespace tumblecast {

namespace {

// Room for extra more, growing geometrically: a prefix grows by a repetition or a stretch at a time.
void makeRoom(std::vector<std::uint64_t>& v, std::uint64_t extra)
{
    if (v.capacity() - v.size() < extra) v.reserve(std::max<std::size_t>(v.size() + extra, 2 * v.capacity()));
}

}  // namespace

void MeasuredStretch::makeRoom(std::uint64_t from, std::uint64_t count)
{
    begin = from;
    sums.resize(count);
    bytes.resize(count);
    laterStarts.resize(count * (units - 1));
}

void MeasuredStretch::clear(std::uint64_t from)
{
    begin = from;
    sums.clear();
    bytes.clear();
    laterStarts.clear();
}

void MeasuredStretch::push(std::uint64_t sum, std::uint64_t length, const std::uint64_t* starts)
{
    sums.push_back(sum);
    bytes.push_back(length);
    laterStarts.insert(laterStarts.end(), starts, starts + (units - 1));
}

MeasuredPrefix::MeasuredPrefix(std::uint64_t units) : m_units(units)
{
    if (units == 0) throw std::invalid_argument("a repetition has at least one unit");
}

std::uint64_t MeasuredPrefix::unitAt(std::uint64_t r, std::uint64_t rel) const
{
    const auto first = m_laterStarts.begin() + static_cast<std::ptrdiff_t>(r * (m_units - 1));
    const auto last = first + static_cast<std::ptrdiff_t>(m_units - 1);
    return static_cast<std::uint64_t>(std::upper_bound(first, last, rel) - first);
}

std::uint64_t MeasuredPrefix::repetitionAt(std::uint64_t offset) const
{
    const auto past = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
    return static_cast<std::uint64_t>(past - m_starts.begin()) - 1;
}

void MeasuredPrefix::append(std::uint64_t sum, std::uint64_t length, const std::uint64_t* laterStarts)
{
    // Room first, so that nothing below can fail half way.
    makeRoom(m_sums, 1);
    makeRoom(m_starts, 1);
    makeRoom(m_laterStarts, m_units - 1);
    m_sums.push_back(sum);
    m_starts.push_back(end() + length);
    m_laterStarts.insert(m_laterStarts.end(), laterStarts, laterStarts + (m_units - 1));
}

void MeasuredPrefix::adopt(const MeasuredStretch& stretch)
{
    if (stretch.units != m_units) throw std::invalid_argument("a stretch of another record");
    if (stretch.begin > count() || stretch.end() <= count()) return;
    const std::uint64_t from = count() - stretch.begin;
    const std::uint64_t to = stretch.count();
    const std::uint64_t later = m_units - 1;
    // Room first, so that nothing below can fail half way.
    makeRoom(m_sums, to - from);
    makeRoom(m_starts, to - from);
    makeRoom(m_laterStarts, (to - from) * later);
    const auto at = [](const std::vector<std::uint64_t>& v, std::uint64_t i) {
        return v.begin() + static_cast<std::ptrdiff_t>(i);
    };
    m_sums.insert(m_sums.end(), at(stretch.sums, from), stretch.sums.end());
    m_laterStarts.insert(m_laterStarts.end(), at(stretch.laterStarts, from * later),
                         stretch.laterStarts.end());
    for (std::uint64_t i = from; i < to; ++i) m_starts.push_back(end() + stretch.bytes[i]);
}

}  // namespace tumblecast
