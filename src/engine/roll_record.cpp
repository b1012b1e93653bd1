// One class, kept whole: measuring repetitions (on every core), rendering lines and blocks, and streaming
// all share the same per-repetition caches, which a split would have to expose.
#include "engine/roll_record.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "engine/random_source.h"
#include "engine/roll_run.h"

namespace tumblecast {

namespace {

constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
// Below this many dice a pass is over before a second thread would have started.
constexpr std::uint64_t kParallelDice = 1 << 20;

constexpr std::array<std::uint64_t, 20> kPowersOf10 = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t p = 1;
    for (auto& power : powers) {
        power = p;
        p *= 10;
    }
    return powers;
}();

// Decimal digits of v, 0 included: the bit width gives the count or one less.
std::uint64_t digits(std::uint64_t v)
{
    const std::uint64_t odd = v | 1;  // no power of ten above 1 is odd, so this moves no boundary
    const auto guess = static_cast<std::size_t>((std::bit_width(odd) * 1233) >> 12);
    return guess + (odd >= kPowersOf10[guess] ? 1 : 0);
}

std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b) { return a > kNone - b ? kNone : a + b; }

std::uint64_t saturatingMul(std::uint64_t a, std::uint64_t b)
{
    return b != 0 && a > kNone / b ? kNone : a * b;
}

}  // namespace

RollRecord::RollRecord(RollRequest request, std::uint64_t firstCounter)
    : m_request(std::move(request)),
      m_first(firstCounter),
      m_sumModify(m_request.perDie ? m_request.modify : 0),
      m_dieMiddle(m_request.perDie ? " + " + m_request.modifyText + " = " : std::string()),
      m_maxDieLine(20 + m_dieMiddle.size() + 20 + kLineEnd.size()),
      // No die exceeds its sides where dieAt computes in integers; past that, allow any number.
      m_dieLineMax(m_request.sides < (1ull << 29) ? dieLineBytes(std::max<std::uint64_t>(m_request.sides, 1))
                                                  : m_maxDieLine),
      m_blocksPerRep((m_request.dice + kBlockDice - 1) / kBlockDice)
{
    const std::uint64_t sides = std::max<std::uint64_t>(m_request.sides, 1);
    std::uint64_t longest = kSeparator.size();
    if (m_request.dice > 0) {
        const std::uint64_t dieLine = dieLineBytes(sides) - kLineEnd.size();
        longest = std::max(longest, dieLine);
    }
    const std::uint64_t maxSum = saturatingMul(m_request.dice, saturatingAdd(sides, m_sumModify));
    longest = std::max(longest, 6 + digits(maxSum) + 3 + m_request.totalModifyText.size() + 3 +
                                    digits(saturatingAdd(maxSum, m_request.totalModify)));
    m_longest = longest;
}

std::unique_ptr<RollRecord> RollRecord::roll(const RollRequest& request, PhiloxSource& source)
{
    auto record = std::make_unique<RollRecord>(request, source.counter());
    source.advance(record->diceCount());
    return record;
}

std::uint64_t RollRecord::dieAt(std::uint32_t bits) const
{
    // sides * bits / 2^24 is exact in double below 2^29 sides, so the integer formula is dieValue's.
    if (m_request.sides < (1ull << 29)) return ((m_request.sides * bits) >> 24) + 1;
    return dieValue(m_request.sides, static_cast<float>(bits) * (1.0f / 16777216.0f));
}

std::uint64_t RollRecord::dieLineBytes(std::uint64_t die) const
{
    if (!m_request.perDie) return digits(die) + kLineEnd.size();
    return digits(die) + m_dieMiddle.size() + digits(die + m_request.modify) + kLineEnd.size();
}

char* RollRecord::writeDieLine(char* out, std::uint64_t die) const
{
    out = std::to_chars(out, out + 20, die).ptr;
    if (m_request.perDie) {
        std::memcpy(out, m_dieMiddle.data(), m_dieMiddle.size());
        out = std::to_chars(out + m_dieMiddle.size(), out + m_dieMiddle.size() + 20, die + m_request.modify)
                  .ptr;
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

std::uint64_t RollRecord::totalLineLength(std::uint64_t sum) const
{
    return 6 + digits(sum) + 3 + m_request.totalModifyText.size() + 3 + digits(sum + m_request.totalModify);
}

void RollRecord::measure(std::uint64_t r, std::uint64_t& sum, std::uint64_t& bytes,
                         std::uint64_t* blockStarts) const
{
    std::array<std::uint32_t, kBlockDice> bits;
    sum = 0;
    bytes = 0;
    for (std::uint64_t b = 0; b < m_blocksPerRep; ++b) {
        if (b > 0) blockStarts[b - 1] = bytes;
        const std::uint64_t first = b * kBlockDice;
        const std::uint64_t count = std::min(kBlockDice, m_request.dice - first);
        PhiloxSource::bitsAt(m_first + r * m_request.dice + first, count, bits.data());
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t die = dieAt(bits[i]);
            sum += die + m_sumModify;
            bytes += dieLineBytes(die);
        }
    }
    bytes += totalBlockBytes(sum);
}

void RollRecord::measureUpTo(std::uint64_t reps) const
{
    reps = std::min(reps, m_request.times);
    if (reps <= m_measured) return;
    const std::uint64_t from = m_measured;
    const std::uint64_t perRep = m_blocksPerRep > 0 ? m_blocksPerRep - 1 : 0;
    m_sums.resize(reps);
    m_starts.resize(reps + 1);
    m_blockStarts.resize(reps * perRep);
    // Each repetition's length goes to m_starts[r + 1] first and becomes an offset below.
    const auto measureRange = [this, perRep](std::uint64_t begin, std::uint64_t end) {
        for (std::uint64_t r = begin; r < end; ++r)
            measure(r, m_sums[r], m_starts[r + 1], m_blockStarts.data() + r * perRep);
    };
    const std::uint64_t count = reps - from;
    const std::uint64_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::uint64_t parts =
        std::min({cores, count, saturatingMul(count, m_request.dice) / kParallelDice + 1});
    std::vector<std::thread> helpers;
    std::uint64_t begin = from;
    for (std::uint64_t part = 1; part < parts; ++part) {
        const std::uint64_t end = from + count * part / parts;
        try {
            helpers.emplace_back(measureRange, begin, end);
        } catch (const std::system_error&) {
            measureRange(begin, end);  // no thread to be had: do it here
        }
        begin = end;
    }
    measureRange(begin, reps);
    for (auto& helper : helpers) helper.join();
    for (std::uint64_t r = from; r < reps; ++r) m_starts[r + 1] += m_starts[r];
    m_measured = reps;
}

std::uint64_t RollRecord::repetitionAt(std::uint64_t offset) const
{
    // The repetition is not known before its start is: measure in growing steps until it is.
    while (m_measured < m_request.times && m_starts[m_measured] <= offset)
        measureUpTo(m_measured + std::max<std::uint64_t>(m_measured, 1));
    const auto past = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
    const auto r = static_cast<std::uint64_t>(past - m_starts.begin()) - 1;
    return r;  // == times when offset >= size()
}

std::uint64_t RollRecord::diceBytes(std::uint64_t r) const
{
    return m_starts[r + 1] - m_starts[r] - totalBlockBytes(m_sums[r]);
}

std::uint64_t RollRecord::blockStart(std::uint64_t r, std::uint64_t b) const
{
    return b == 0 ? 0 : m_blockStarts[r * (m_blocksPerRep - 1) + b - 1];
}

std::uint64_t RollRecord::blockAt(std::uint64_t r, std::uint64_t offsetInRep) const
{
    const auto first = m_blockStarts.begin() + static_cast<std::ptrdiff_t>(r * (m_blocksPerRep - 1));
    const auto last = first + static_cast<std::ptrdiff_t>(m_blocksPerRep - 1);
    return static_cast<std::uint64_t>(std::upper_bound(first, last, offsetInRep) - first);
}

const RollRecord::Block& RollRecord::block(std::uint64_t r, std::uint64_t b) const
{
    if (m_block.rep == r && m_block.index == b) return m_block;
    m_block.rep = kNone;  // stays invalid if an allocation below fails
    std::array<std::uint32_t, kBlockDice> bits;
    const std::uint64_t first = b * kBlockDice;
    const std::uint64_t count = std::min(kBlockDice, m_request.dice - first);
    PhiloxSource::bitsAt(m_first + r * m_request.dice + first, count, bits.data());
    m_block.text.resize(count * m_maxDieLine);
    m_block.lineStarts.clear();
    char* const begin = m_block.text.data();
    char* out = begin;
    for (std::uint64_t i = 0; i < count; ++i) {
        m_block.lineStarts.push_back(static_cast<std::uint32_t>(out - begin));
        out = writeDieLine(out, dieAt(bits[i]));
    }
    m_block.lineStarts.push_back(static_cast<std::uint32_t>(out - begin));
    m_block.text.resize(static_cast<std::size_t>(out - begin));
    m_block.rep = r;
    m_block.index = b;
    return m_block;
}

std::uint64_t RollRecord::sum(std::uint64_t r) const
{
    measureUpTo(r + 1);
    return m_sums[r];
}

std::uint64_t RollRecord::sumOf(std::uint64_t r) const
{
    if (r < m_measured) return m_sums[r];
    std::array<std::uint32_t, kBlockDice> bits;
    std::uint64_t sum = 0;
    for (std::uint64_t first = 0; first < m_request.dice; first += kBlockDice) {
        const std::uint64_t count = std::min(kBlockDice, m_request.dice - first);
        PhiloxSource::bitsAt(m_first + r * m_request.dice + first, count, bits.data());
        for (std::uint64_t i = 0; i < count; ++i) sum += dieAt(bits[i]) + m_sumModify;
    }
    return sum;
}

std::string RollRecord::line(std::uint64_t k) const
{
    const std::uint64_t perRep = m_request.dice + 4;
    const std::uint64_t r = k / perRep;
    const std::uint64_t j = k % perRep;
    if (r >= m_request.times) return {};
    std::string text;
    if (j < m_request.dice) {
        std::uint32_t bits = 0;
        PhiloxSource::bitsAt(m_first + r * m_request.dice + j, 1, &bits);
        text.resize(m_maxDieLine);
        const char* const end = writeDieLine(text.data(), dieAt(bits));
        text.resize(static_cast<std::size_t>(end - text.data()) - kLineEnd.size());
        return text;
    }
    switch (j - m_request.dice) {
        case 1: {
            const std::uint64_t sum = sumOf(r);
            appendTotalBlock(text, m_request, sum);
            return text.substr(kLineEnd.size(), totalLineLength(sum));
        }
        case 2:
            return std::string(kSeparator);
        default:
            return text;
    }
}

std::uint64_t RollRecord::size() const
{
    measureUpTo(m_request.times);
    return m_starts[m_measured];
}

std::uint64_t RollRecord::lineCount() const { return m_request.times * (m_request.dice + 4) + 1; }

std::uint64_t RollRecord::lineStart(std::uint64_t k) const
{
    const std::uint64_t perRep = m_request.dice + 4;
    const std::uint64_t r = k / perRep;
    const std::uint64_t j = k % perRep;
    if (r >= m_request.times) return size();  // the empty line after the last line end
    measureUpTo(r + 1);
    const std::uint64_t start = m_starts[r];
    if (j < m_request.dice) {
        const std::uint64_t b = j / kBlockDice;
        return start + blockStart(r, b) + block(r, b).lineStarts[j % kBlockDice];
    }
    const std::uint64_t total = start + diceBytes(r);  // the empty line that opens the total block
    switch (j - m_request.dice) {
        case 0:
            return total;
        case 1:
            return total + 2;
        case 2:
            return total + 4 + totalLineLength(m_sums[r]);
        default:
            return total + 6 + totalLineLength(m_sums[r]) + kSeparator.size();
    }
}

std::uint64_t RollRecord::lineLength(std::uint64_t k) const
{
    const std::uint64_t perRep = m_request.dice + 4;
    const std::uint64_t r = k / perRep;
    const std::uint64_t j = k % perRep;
    if (r >= m_request.times) return 0;
    if (j < m_request.dice) {
        std::uint32_t bits = 0;
        PhiloxSource::bitsAt(m_first + r * m_request.dice + j, 1, &bits);
        return dieLineBytes(dieAt(bits)) - kLineEnd.size();
    }
    switch (j - m_request.dice) {
        case 1:
            return totalLineLength(sumOf(r));
        case 2:
            return kSeparator.size();
        default:
            return 0;
    }
}

std::uint64_t RollRecord::lineAt(std::uint64_t offset) const
{
    const std::uint64_t r = repetitionAt(offset);
    if (r >= m_request.times) return lineCount() - 1;
    const std::uint64_t first = r * (m_request.dice + 4);
    std::uint64_t rel = offset - m_starts[r];
    const std::uint64_t dice = diceBytes(r);
    if (rel < dice) {
        const std::uint64_t b = blockAt(r, rel);
        const auto& starts = block(r, b).lineStarts;
        const auto i =
            std::upper_bound(starts.begin(), starts.end(), rel - blockStart(r, b)) - starts.begin() - 1;
        return first + b * kBlockDice + static_cast<std::uint64_t>(i);
    }
    rel -= dice;
    const std::uint64_t totalEnd = 4 + totalLineLength(m_sums[r]);
    const std::uint64_t line = rel < 2                                  ? 0
                               : rel < totalEnd                         ? 1
                               : rel < totalEnd + kSeparator.size() + 2 ? 2
                                                                        : 3;
    return first + m_request.dice + line;
}

std::string RollRecord::slice(std::uint64_t offset, std::uint64_t length) const
{
    // A screen's lines and most selections lie in one block: the kept one, mostly.
    if (length <= kPieceBytes) {
        const std::uint64_t r = repetitionAt(offset);
        if (r >= m_request.times) return {};
        const std::uint64_t rel = offset - m_starts[r];
        if (rel < diceBytes(r)) {
            const std::uint64_t b = blockAt(r, rel);
            const std::string& text = block(r, b).text;
            const std::uint64_t from = rel - blockStart(r, b);
            if (length <= text.size() - from) return text.substr(from, length);
        }
    }
    std::string text;
    forEachPiece(offset, length, [&text](std::string_view piece) { text += piece; });
    return text;
}

// Streaming renders "units" in order: unit r * (blocks + 1) + b is die block b of repetition r, and
// b == blocks is its total block. A stretch of units is rendered apart from the others, on any thread,
// from nothing but the request and the sums known before: a repetition whose sum is not known yet lies
// whole in one stretch.
struct RollRecord::Rendered {
    std::unique_ptr<char[]> buffer;  // not std::string: resizing would clear every byte of every piece first
    std::size_t capacity = 0;
    std::string_view text;
    std::vector<std::uint64_t> measured;     // repetition, sum, bytes: for each one rendered whole
    std::vector<std::uint64_t> blockStarts;  // blocks - 1 for each of them
    std::exception_ptr failure;
};

std::uint64_t RollRecord::unitAt(std::uint64_t offset) const
{
    const std::uint64_t r = repetitionAt(offset);
    if (r >= m_request.times) return m_request.times * (m_blocksPerRep + 1);
    const std::uint64_t rel = offset - m_starts[r];
    return r * (m_blocksPerRep + 1) + (rel < diceBytes(r) ? blockAt(r, rel) : m_blocksPerRep);
}

void RollRecord::render(std::uint64_t begin, std::uint64_t end, const std::vector<std::uint64_t>& knownSums,
                        Rendered& out) const
{
    const std::uint64_t units = m_blocksPerRep + 1;
    const auto diceBefore = [&](std::uint64_t u) {
        return u / units * m_request.dice + std::min(u % units * kBlockDice, m_request.dice);
    };
    const std::uint64_t bound = (diceBefore(end) - diceBefore(begin)) * m_dieLineMax +
                                (end / units - begin / units + 1) * (40 + m_longest);
    if (bound > out.capacity) {
        out.buffer.reset(new char[bound]);
        out.capacity = bound;
    }
    out.measured.clear();
    out.blockStarts.clear();
    char* const first = out.buffer.get();
    char* text = first;
    std::array<std::uint32_t, kBlockDice> bits;
    std::string totalBlock;
    std::vector<std::uint64_t> repBlockStarts;
    for (std::uint64_t u = begin; u < end;) {
        const std::uint64_t r = u / units;
        std::uint64_t b = u % units;
        const bool whole = b == 0;
        const auto repStart = static_cast<std::uint64_t>(text - first);
        repBlockStarts.clear();
        std::uint64_t sum = 0;
        for (; b < m_blocksPerRep && u < end; ++b, ++u) {
            if (b > 0) repBlockStarts.push_back(static_cast<std::uint64_t>(text - first) - repStart);
            const std::uint64_t firstDie = b * kBlockDice;
            const std::uint64_t count = std::min(kBlockDice, m_request.dice - firstDie);
            PhiloxSource::bitsAt(m_first + r * m_request.dice + firstDie, count, bits.data());
            for (std::uint64_t i = 0; i < count; ++i) {
                const std::uint64_t die = dieAt(bits[i]);
                sum += die + m_sumModify;
                text = writeDieLine(text, die);
            }
        }
        if (u == end) break;
        const bool known = r < knownSums.size();
        if (!known && !whole) throw std::logic_error("a stretch starts inside a repetition of unknown sum");
        totalBlock.clear();
        appendTotalBlock(totalBlock, m_request, known ? knownSums[r] : sum);
        std::memcpy(text, totalBlock.data(), totalBlock.size());
        text += totalBlock.size();
        ++u;
        if (!known) {
            out.measured.insert(out.measured.end(),
                                {r, sum, static_cast<std::uint64_t>(text - first) - repStart});
            out.blockStarts.insert(out.blockStarts.end(), repBlockStarts.begin(), repBlockStarts.end());
        }
    }
    out.text = std::string_view(first, static_cast<std::size_t>(text - first));
}

void RollRecord::keep(const Rendered& rendered) const
{
    const std::uint64_t perRep = m_blocksPerRep > 0 ? m_blocksPerRep - 1 : 0;
    for (std::size_t i = 0; i < rendered.measured.size(); i += 3) {
        if (rendered.measured[i] != m_measured) continue;  // measured meanwhile by a call from the sink
        const auto starts = rendered.blockStarts.begin() + static_cast<std::ptrdiff_t>(i / 3 * perRep);
        m_blockStarts.insert(m_blockStarts.end(), starts, starts + static_cast<std::ptrdiff_t>(perRep));
        m_sums.push_back(rendered.measured[i + 1]);
        m_starts.push_back(m_starts.back() + rendered.measured[i + 2]);
        ++m_measured;
    }
}

void RollRecord::forEachPiece(std::uint64_t offset, std::uint64_t length, const PieceSink& sink) const
{
    if (length == 0) return;
    const std::uint64_t begin = unitAt(offset);
    const std::uint64_t units = m_blocksPerRep + 1;
    std::uint64_t end = m_request.times * units;
    if (begin >= end) return;
    const std::uint64_t last = saturatingAdd(offset, length);
    // Where the range ends is worth finding when it is short or already measured.
    if (length <= 4 * kPieceBytes || last <= m_starts[m_measured]) end = std::min(end, unitAt(last - 1) + 1);

    // Stretches of about a piece. Repetitions longer than that are measured first, so that a stretch may
    // start inside one; shorter ones are grouped whole.
    const std::uint64_t repBytes = m_request.dice * m_dieLineMax + 40 + m_longest;
    const bool split = repBytes > kPieceBytes;
    if (split) measureUpTo(end / units + 1);
    const std::uint64_t firstEnd = std::min(end, (begin / units + 1) * units);
    const std::uint64_t step = split ? std::max<std::uint64_t>(1, kPieceBytes / (kBlockDice * m_dieLineMax))
                                     : std::max<std::uint64_t>(1, kPieceBytes / repBytes) * units;
    const std::uint64_t stretches =
        split ? (end - begin + step - 1) / step : 1 + (end - firstEnd + step - 1) / step;
    const auto stretch = [&](std::uint64_t k) -> std::pair<std::uint64_t, std::uint64_t> {
        if (split) return {begin + k * step, std::min(end, begin + (k + 1) * step)};
        if (k == 0) return {begin, firstEnd};
        return {firstEnd + (k - 1) * step, std::min(end, firstEnd + k * step)};
    };

    std::uint64_t at =
        m_starts[begin / units] + (begin % units < m_blocksPerRep ? blockStart(begin / units, begin % units)
                                                                  : diceBytes(begin / units));
    const auto emit = [&](const Rendered& rendered) {
        const std::string_view text = rendered.text;
        const std::uint64_t from = offset > at ? offset - at : 0;
        const std::uint64_t to = std::min<std::uint64_t>(text.size(), last - at);
        at += text.size();
        keep(rendered);
        if (to > from) sink(text.substr(from, to - from));
    };

    const auto renderHere = [&] {
        Rendered rendered;
        for (std::uint64_t k = 0; k < stretches && at < last; ++k) {
            const auto [from, to] = stretch(k);
            render(from, to, m_sums, rendered);  // what keep() adds is known to the next stretch
            emit(rendered);
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    if (cores == 1 || stretches <= 2) return renderHere();

    // Helpers render the stretches ahead, each into its slot of a ring; this thread hands them on in order.
    // They read a copy of the sums, which keep() and the sink may change meanwhile.
    const std::vector<std::uint64_t> knownSums = m_sums;
    const std::size_t depth = 2 * cores;
    std::vector<Rendered> slots(depth);
    std::vector<std::uint64_t> ready(depth, kNone);
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t next = 0, handed = 0;
    bool stop = false;
    const auto work = [&] {
        for (;;) {
            std::uint64_t k = 0;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next == stretches || next < handed + depth; });
                if (stop || next == stretches) return;
                k = next++;
            }
            Rendered& slot = slots[k % depth];
            try {
                const auto [from, to] = stretch(k);
                render(from, to, knownSums, slot);
            } catch (...) {
                slot.failure = std::current_exception();
            }
            {
                std::lock_guard lock(mutex);
                ready[k % depth] = k;
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> helpers;
    const auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (auto& helper : helpers) helper.join();
    };
    try {
        for (unsigned i = 0; i < cores; ++i) helpers.emplace_back(work);
    } catch (const std::system_error&) {
        if (helpers.empty()) return renderHere();  // no thread to be had: render here
    }
    try {
        for (std::uint64_t k = 0; k < stretches && at < last; ++k) {
            Rendered& slot = slots[k % depth];
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return ready[k % depth] == k; });
            }
            if (slot.failure) std::rethrow_exception(slot.failure);
            emit(slot);
            {
                std::lock_guard lock(mutex);
                handed = k + 1;
            }
            changed.notify_all();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

}  // namespace tumblecast
