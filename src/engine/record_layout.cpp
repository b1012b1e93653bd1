#include "engine/record_layout.h"

#include <algorithm>
#include <stdexcept>

#include "engine/die_source.h"

namespace tumblecast {

namespace {

constexpr std::string_view kTotalLabel = "Total:";
constexpr std::string_view kPlus = " + ";
constexpr std::string_view kEquals = " = ";

using layout_detail::digits;
using layout_detail::writeNumber;
using layout_detail::writeText;

std::size_t tailIndex(LineKind kind) { return static_cast<std::size_t>(kind) - 1; }

}  // namespace

RecordLayout::RecordLayout(const RollRequest& request)
    : m_dice(request.dice),
      m_perDie(request.perDie),
      m_modify(request.modify),
      m_sumModify(request.perDie ? request.modify : 0),
      m_totalModify(request.totalModify),
      m_dieMiddle(request.perDie ? std::string(kPlus) + request.modifyText + std::string(kEquals)
                                 : std::string()),
      m_totalModifyText(request.totalModifyText)
{
    // Inside these every sum fits in 64 bits and every face is the one computed in double.
    if (request.sides >= kSidesLimit || request.dice >= kCountLimit || request.modify >= kCountLimit ||
        request.totalModify >= kCountLimit || request.times >= kCountLimit)
        throw std::invalid_argument(std::string(kInvalidArgument));
    const std::uint64_t topFace = std::max<std::uint64_t>(request.sides, 1);
    m_maxDieLineBytes = dieLineBytes(topFace);
    const std::uint64_t maxSum = m_dice * modifiedDie(topFace);
    m_maxTailBytes = tailBytes(maxSum);
    m_longest = std::max(kSeparator.size(), tailLineLength(LineKind::Total, maxSum));
    if (m_dice > 0) m_longest = std::max(m_longest, dieLineLength(topFace));
}

LinePlace RecordLayout::place(std::uint64_t line) const
{
    const std::uint64_t r = line / linesPerRepetition();
    const std::uint64_t j = line % linesPerRepetition();
    if (j < m_dice) return {r, j, LineKind::Die};
    return {r, j - m_dice, tailKind(j - m_dice)};
}

std::array<std::uint64_t, kTailLines> RecordLayout::tailLengths(std::uint64_t sum) const
{
    const std::uint64_t total = kTotalLabel.size() + digits(sum) + kPlus.size() + m_totalModifyText.size() +
                                kEquals.size() + digits(sum + m_totalModify);
    return {0, total, kSeparator.size(), 0};
}

std::uint64_t RecordLayout::tailLineLength(LineKind kind, std::uint64_t sum) const
{
    return tailLengths(sum)[tailIndex(kind)];
}

std::uint64_t RecordLayout::tailLineStart(LineKind kind, std::uint64_t sum) const
{
    const auto lengths = tailLengths(sum);
    std::uint64_t start = 0;
    for (std::size_t i = 0; i < tailIndex(kind); ++i) start += lengths[i] + kLineEnd.size();
    return start;
}

std::uint64_t RecordLayout::tailBytes(std::uint64_t sum) const
{
    const auto lengths = tailLengths(sum);
    std::uint64_t bytes = 0;
    for (const std::uint64_t length : lengths) bytes += length + kLineEnd.size();
    return bytes;
}

char* RecordLayout::writeTotalLine(char* out, std::uint64_t sum) const
{
    out = writeNumber(writeText(out, kTotalLabel), sum);
    out = writeText(writeText(out, kPlus), m_totalModifyText);
    return writeNumber(writeText(out, kEquals), sum + m_totalModify);
}

char* RecordLayout::writeTail(char* out, std::uint64_t sum) const
{
    out = writeText(out, kLineEnd);
    out = writeText(writeTotalLine(out, sum), kLineEnd);
    out = writeText(writeText(out, kSeparator), kLineEnd);
    return writeText(out, kLineEnd);
}

std::string RecordLayout::tailLine(LineKind kind, std::uint64_t sum) const
{
    switch (kind) {
        case LineKind::Total: {
            std::string line(tailLineLength(LineKind::Total, sum), '\0');
            writeTotalLine(line.data(), sum);
            return line;
        }
        case LineKind::Separator:
            return std::string(kSeparator);
        default:
            return {};
    }
}

}  // namespace tumblecast
