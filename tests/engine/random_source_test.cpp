#include <gtest/gtest.h>

#include <array>

#include "engine/random_source.h"

using tumblecast::PhiloxSource;

namespace {

std::uint32_t bits24(float u) { return static_cast<std::uint32_t>(u * 16777216.0f); }

}  // namespace

// Every start of the program rolls these; a change here changes every roll users have seen.
TEST(PhiloxSource, FirstValuesArePinned)
{
    PhiloxSource source;
    const std::array<std::uint32_t, 6> expected = {2329810, 12540015, 3220079, 6973706, 5142226, 16555380};
    for (const auto want : expected) EXPECT_EQ(bits24(source.next()), want);
    EXPECT_EQ(source.counter(), 6u);
    // Far counters need no rolling of the ones before.
    EXPECT_EQ(bits24(PhiloxSource::unitAt(1ull << 40)), 15489606u);

    // A run of values read at once, from inside a Philox block to inside another, and a skip.
    std::array<std::uint32_t, 11> run{};
    PhiloxSource::bitsAt(3, run.size(), run.data());
    for (std::size_t i = 0; i < run.size(); ++i) EXPECT_EQ(run[i], bits24(PhiloxSource::unitAt(3 + i))) << i;
    source.advance(1000);
    EXPECT_EQ(source.counter(), 1006u);
    EXPECT_EQ(source.next(), PhiloxSource::unitAt(1006));
}
