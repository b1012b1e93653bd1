#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/fan_out.h"
#include "engine/measured_prefix.h"

using namespace tumblecast;

// Three units a repetition. Repetitions come one at a time and in stretches, some overlapping what is
// known already; each unit's start is found from any offset inside it.
TEST(MeasuredPrefix, PlansWhereEveryUnitStarts)
{
    MeasuredPrefix prefix(3);
    const std::uint64_t first[] = {4, 9};
    prefix.append(7, 12, first);  // units at 0, 4 and 9 of 12 bytes
    MeasuredStretch stretch(3);
    stretch.makeRoom(0, 3);
    const std::uint64_t later[][2] = {{4, 9}, {1, 2}, {5, 6}};
    const std::uint64_t bytes[] = {12, 3, 10};
    for (std::uint64_t i = 0; i < 3; ++i) {
        *stretch.sumAt(i) = 10 + i;
        *stretch.bytesAt(i) = bytes[i];
        std::copy(later[i], later[i] + 2, stretch.laterStartsAt(i));
    }
    prefix.adopt(stretch);  // the first repetition is kept as measured; the others follow it
    EXPECT_EQ(prefix.count(), 3u);
    EXPECT_EQ(prefix.sum(0), 7u);
    EXPECT_EQ(prefix.sum(2), 12u);
    EXPECT_EQ(prefix.end(), 25u);

    MeasuredStretch gap(3);
    gap.clear(4);
    gap.push(1, 5, later[1]);
    prefix.adopt(gap);  // starts past the prefix: nothing to take
    EXPECT_EQ(prefix.count(), 3u);
    gap.begin = 3;
    prefix.adopt(gap);
    EXPECT_EQ(prefix.end(), 30u);

    // offset: its repetition, the unit holding it and where that starts in the repetition
    const std::uint64_t places[][4] = {{0, 0, 0, 0},  {3, 0, 0, 0},  {4, 0, 1, 4},  {11, 0, 2, 9},
                                       {12, 1, 0, 0}, {14, 1, 2, 2}, {15, 2, 0, 0}, {29, 3, 2, 2}};
    for (const auto& p : places) {
        const std::uint64_t r = prefix.repetitionAt(p[0]);
        EXPECT_EQ(r, p[1]) << p[0];
        EXPECT_EQ(prefix.unitAt(r, p[0] - prefix.start(r)), p[2]) << p[0];
        EXPECT_EQ(prefix.unitStart(r, p[2]), p[3]) << p[0];
    }
    EXPECT_EQ(prefix.repetitionAt(30), 4u);
    EXPECT_THROW(prefix.adopt(MeasuredStretch(2)), std::invalid_argument);
}

// A producer that fails: its exception comes out where its consume would have run, after every one before
// it was consumed, and no later one is.
TEST(FanOut, AProducerThatThrowsEndsTheRunInOrder)
{
    for (const unsigned threads : {1u, 3u}) {
        std::vector<std::uint64_t> consumed;
        EXPECT_THROW(fanOut(
                         50, threads, 4,
                         [](std::uint64_t k) {
                             if (k == 17) throw std::runtime_error("out of dice");
                         },
                         [&](std::uint64_t k) {
                             consumed.push_back(k);
                             return true;
                         }),
                     std::runtime_error);
        ASSERT_EQ(consumed.size(), 17u) << threads;
        EXPECT_EQ(consumed.back(), 16u);
    }
}
