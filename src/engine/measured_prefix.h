#pragma once

#include <cstdint>
#include <vector>

namespace tumblecast {

// A record's text is a run of repetitions, and each repetition a run of units (for a Generate record its
// blocks of die lines, then its tail). Measuring a repetition learns its sum, its length in bytes and where
// its units after the first start, from the repetition's start.

// Repetitions begin to begin + count() - 1, measured apart from the record: on any thread, into room made
// beforehand (each repetition written by whoever measured it) or one after another with push().
struct MeasuredStretch {
    explicit MeasuredStretch(std::uint64_t units = 1) : units(units) {}

    std::uint64_t units;  // per repetition
    std::uint64_t begin = 0;
    std::vector<std::uint64_t> sums;
    std::vector<std::uint64_t> bytes;
    std::vector<std::uint64_t> laterStarts;  // units - 1 for each repetition

    std::uint64_t count() const { return sums.size(); }
    std::uint64_t end() const { return begin + count(); }
    // Room for repetitions from to from + count - 1, to be written in any order.
    void makeRoom(std::uint64_t from, std::uint64_t count);
    void clear(std::uint64_t from);
    // Repetition end(), with its units' starts after the first.
    void push(std::uint64_t sum, std::uint64_t length, const std::uint64_t* starts);
    // Where repetition begin + i's writes go.
    std::uint64_t* sumAt(std::uint64_t i) { return sums.data() + i; }
    std::uint64_t* bytesAt(std::uint64_t i) { return bytes.data() + i; }
    std::uint64_t* laterStartsAt(std::uint64_t i) { return laterStarts.data() + i * (units - 1); }
};

// What a record knows of its first repetitions, and so where each of their units starts in its text. The
// only writer of that knowledge; it grows at the end only, and a failure to grow leaves it as it was.
class MeasuredPrefix {
public:
    explicit MeasuredPrefix(std::uint64_t units);

    std::uint64_t units() const { return m_units; }
    // Repetitions 0 to count() - 1 are measured.
    std::uint64_t count() const { return m_sums.size(); }
    // The offset just past them.
    std::uint64_t end() const { return m_starts.back(); }
    // r <= count(): where repetition r starts.
    std::uint64_t start(std::uint64_t r) const { return m_starts[r]; }
    std::uint64_t sum(std::uint64_t r) const { return m_sums[r]; }
    const std::vector<std::uint64_t>& sums() const { return m_sums; }
    // Where unit u of measured repetition r starts, from the repetition's start.
    std::uint64_t unitStart(std::uint64_t r, std::uint64_t u) const
    {
        return u == 0 ? 0 : m_laterStarts[r * (m_units - 1) + u - 1];
    }
    // The last unit of measured repetition r that starts at or before rel, from the repetition's start.
    std::uint64_t unitAt(std::uint64_t r, std::uint64_t rel) const;
    // The measured repetition holding offset; count() when offset is at or past end().
    std::uint64_t repetitionAt(std::uint64_t offset) const;

    // Measures repetition count().
    void append(std::uint64_t sum, std::uint64_t length, const std::uint64_t* laterStarts);
    // Takes the repetitions of stretch from count() on: none when it starts past count().
    void adopt(const MeasuredStretch& stretch);

private:
    std::uint64_t m_units;
    std::vector<std::uint64_t> m_sums;
    std::vector<std::uint64_t> m_starts{0};  // count() + 1 offsets
    std::vector<std::uint64_t> m_laterStarts;
};

}  // namespace tumblecast
