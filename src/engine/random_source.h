#pragma once

#include <cstddef>
#include <cstdint>

namespace tumblecast {

class PhiloxSource;

// Uniform single-precision values in [0, 1), one per die, in the order of the dice.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float next() = 0;
    // The generator when any of its values can be found again by number, so that a run's record can be
    // rendered instead of rolled; null otherwise.
    virtual PhiloxSource* counterBased() { return nullptr; }
};

// Philox4x32-10 in counter mode with a fixed key: value k of the program's life is a pure function of k,
// so every start of the program rolls the same sequence, and any die can be found again without rolling
// the ones before it.
class PhiloxSource final : public RandomSource {
public:
    float next() override { return unitAt(m_counter++); }
    PhiloxSource* counterBased() override { return this; }
    std::uint64_t counter() const { return m_counter; }
    // Moves on as if n values had been drawn, for a run whose dice are rendered from their counters.
    void advance(std::uint64_t n) { m_counter += n; }

    static float unitAt(std::uint64_t k);
    // The 24-bit numbers x of values first to first + count - 1, value = x / 2^24: one Philox block makes
    // four of them, where unitAt makes one.
    static void bitsAt(std::uint64_t first, std::size_t count, std::uint32_t* out);

private:
    std::uint64_t m_counter = 0;
};

}  // namespace tumblecast
