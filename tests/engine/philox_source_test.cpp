#include <gtest/gtest.h>

#include <vector>

#include "engine/philox_source.h"

using namespace tumblecast;

// The published known answers of the reference implementation for Philox4x32 with 10 rounds.
TEST(PhiloxSource, BlocksAreThoseOfPhilox4x32With10Rounds)
{
    struct Answer {
        PhiloxCounter counter;
        PhiloxKey key;
        PhiloxCounter out;
    };
    const Answer answers[] = {
        {{0, 0, 0, 0}, {0, 0}, {0x6627e8d5, 0xe169c58d, 0xbc57ac4c, 0x9b00dbd8}},
        {{0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff},
         {0xffffffff, 0xffffffff},
         {0x408f276d, 0x41c83b0e, 0xa20bc7c6, 0x6d5451fd}},
        {{0x243f6a88, 0x85a308d3, 0x13198a2e, 0x03707344},
         {0xa4093822, 0x299f31d0},
         {0xd16cfe09, 0x94fdcceb, 0x5001e420, 0x24126ea1}},
    };
    for (const auto& [counter, key, out] : answers) EXPECT_EQ(philoxBlock(counter, key), out);
}

// Every start of the program rolls these, on every processor; a change here changes every roll users have
// seen. Value k is the top 24 bits of lane k % 4 of block k / 4, whose number fills the counter's two low
// words. The blocks are computed many at once: a range starting and ending mid-batch reads the same values
// one block at a time would, whatever the seed in the counter's high words and however the processor
// computes them.
TEST(PhiloxSource, EveryPathGivesTheValuesOfSingleBlocks)
{
    const auto paths = philoxPaths();
    ASSERT_EQ(paths.front(), "plain");
    for (const std::string_view path : paths) {
        SCOPED_TRACE(path);
        usePhiloxPath(path);
        // Read in a batch, and a few at a time as rerolls read them.
        std::vector<std::uint32_t> first(100);
        PhiloxSource().bitsAt(0, first.size(), first.data());
        first.resize(6);
        EXPECT_EQ(first,
                  (std::vector<std::uint32_t>{2329810, 12540015, 3220079, 6973706, 5142226, 16555380}));
        PhiloxSource().bitsAt(1, 5, first.data());
        EXPECT_EQ(first,
                  (std::vector<std::uint32_t>{12540015, 3220079, 6973706, 5142226, 16555380, 16555380}));
        PhiloxSource().bitsAt((std::uint64_t{5} << 34) + 6, 1, first.data());
        EXPECT_EQ(first[0], philoxBlock({1, 5, 0, 0}, PhiloxSource::kKey)[2] >> 8);

        // Long enough for the widest batches; crosses the counter's high word mid-batch.
        const std::uint64_t start = (std::uint64_t{3} << 32) * 4 - 161;
        std::vector<std::uint32_t> bits(1201);
        for (const std::uint64_t seed : {std::uint64_t{0}, std::uint64_t{0x0123456789ABCDEF}}) {
            PhiloxSource(seed).bitsAt(start, bits.size(), bits.data());
            for (std::uint64_t i = 0; i < bits.size(); ++i) {
                const std::uint64_t k = start + i;
                const auto block =
                    philoxBlock({static_cast<std::uint32_t>(k / 4), static_cast<std::uint32_t>(k / 4 >> 32),
                                 static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32)},
                                PhiloxSource::kKey);
                ASSERT_EQ(bits[i], block[k % 4] >> 8) << "value " << k << " of seed " << seed;
            }
        }
    }
    usePhiloxPath(paths.back());
    EXPECT_NE(freshSeed(), freshSeed());
}
