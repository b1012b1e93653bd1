#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>

#include "engine/philox_source.h"
#include "stats/stats_text.h"

using namespace tumblecast;
using namespace tumblecast::stats;

namespace {

// What the background pass holds for one roll.
struct Pass {
    explicit Pass(const RollShape& shape)
        : dist(shape), totalBins(dist), faceBins(dist.die()), totals(totalBins, dist.mean()), faces(faceBins)
    {
    }
    TotalDistribution dist;
    TotalBins totalBins;
    FaceBins faceBins;
    TotalTally totals;
    FaceTally faces;
    Fairness judge() const { return judgeFairness(totalBins, totals, faceBins, faces); }
};

// Rolls every repetition from a source of the generator's numbers; repetitions alternate between two
// threads' tallies, merged at the end.
void roll(Pass& pass, const std::function<std::uint32_t()>& next)
{
    const RollShape& s = pass.dist.shape();
    TotalTally other(pass.totalBins, pass.dist.mean());
    FaceTally otherFaces(pass.faceBins);
    std::vector<std::uint32_t> bits(s.dice);
    for (std::uint64_t r = 0; r < s.times; ++r) {
        std::uint64_t sum = 0;
        for (auto& x : bits) {
            x = next();
            sum += dieFace(s.sides, x);
            (r % 2 ? otherFaces : pass.faces).add(dieFace(s.sides, x));
        }
        (r % 2 ? other : pass.totals)
            .add(static_cast<std::int64_t>(sum + s.dice * s.perDieModify + s.totalModify));
    }
    pass.totals.merge(other);
    pass.faces.merge(otherFaces);
}

std::function<std::uint32_t()> philox()
{
    return [k = std::uint64_t{0}, block = std::vector<std::uint32_t>(4096)]() mutable {
        if (k % block.size() == 0) PhiloxSource().bitsAt(k, block.size(), block.data());
        return block[k++ % block.size()];
    };
}

}  // namespace

TEST(FaceBins, AreExactEqualRangesOfFaces)
{
    for (const std::uint64_t sides : {6ull, 100ull, 101ull, 999998ull, (1ull << 24) - 1}) {
        const FaceBins bins(DieModel{sides});
        ASSERT_EQ(bins.size(), std::min<std::uint64_t>(sides, 100));
        EXPECT_NEAR(std::accumulate(bins.chances().begin(), bins.chances().end(), 0.0), 1.0, 1e-12);
        EXPECT_EQ(bins.low(0), 1u);
        EXPECT_EQ(bins.high(bins.size() - 1), sides);
        // Every face, or for the largest die those beside the bins' edges.
        std::vector<std::uint64_t> faces;
        for (std::uint64_t f = 1; f <= sides && sides < 1000000; ++f) faces.push_back(f);
        for (std::uint64_t b = 0; b < 100 && sides >= 1000000; ++b)
            for (std::uint64_t f = b * sides / 100; f < b * sides / 100 + 4; ++f)
                faces.push_back(std::max<std::uint64_t>(f, 1));
        std::uint64_t wrong = 0;
        for (const std::uint64_t f : faces) {
            const std::size_t b = bins.binOf(f);
            const bool right =
                b == (sides <= 100 ? f - 1 : (f - 1) * 100 / sides) && bins.low(b) <= f && f <= bins.high(b);
            if (!right && wrong++ == 0) ADD_FAILURE() << sides << " sides: face " << f << " in bin " << b;
        }
    }
}

// A million dice from the program's own generator, small and large dice, pass both tests.
TEST(Fairness, TheGeneratorsDiceAreConsistentWithFairDice)
{
    auto next = philox();
    for (const RollShape& shape :
         {RollShape{1000, 6, 1, 3, 1000}, RollShape{1000, 999998, 999999, 999999, 1000}}) {
        Pass pass(shape);
        roll(pass, next);
        const Fairness fairness = pass.judge();
        SCOPED_TRACE(testing::Message() << shape.sides << " sides, p = " << fairness.pValue);
        EXPECT_EQ(pass.faces.count(), 1000000u);
        EXPECT_EQ(pass.totals.count(), shape.times);
        EXPECT_TRUE(fairness.totals.tested() && fairness.faces.tested());
        EXPECT_FALSE(fairness.unusual());
        EXPECT_NEAR(pass.totals.mean(), pass.dist.mean(),
                    4 * pass.dist.standardDeviation() / std::sqrt(shape.times));
        EXPECT_NEAR(pass.totals.standardDeviation() / pass.dist.standardDeviation(), 1.0, 0.1);
        EXPECT_EQ(verdictText(fairness), "consistent with fair dice");
    }
}

TEST(Fairness, BiasedDiceAreUnusual)
{
    // Ones are rolled again once: faces lean away from 1.
    Pass faces(RollShape{10, 6, 0, 0, 10000});
    auto next = philox();
    roll(faces, [&next] {
        const std::uint32_t x = next();
        return x < DieModel::kValues / 6 ? next() : x;
    });
    EXPECT_LT(faces.judge().faces.pValue, 1e-6);
    EXPECT_EQ(verdictText(faces.judge()),
              "unusual: p < 0.0001; fair dice look this unusual less than once in 10000 rolls");

    // All dice of a repetition alike: the totals spread far too wide.
    Pass totals(RollShape{10, 6, 0, 0, 1000});
    std::uint64_t die = 0;
    std::uint32_t shared = 0;
    roll(totals, [&] { return die++ % 10 ? shared : shared = next(); });
    EXPECT_LT(totals.judge().totals.pValue, 1e-6);
    EXPECT_TRUE(totals.judge().unusual());

    // Two tests of the same dice count once: the level is not halved.
    const Fairness two = faces.judge();
    const Fairness one = judgeFairness(faces.totalBins, faces.totals, faces.faceBins, faces.faces, true);
    EXPECT_DOUBLE_EQ(one.pValue * 2, two.pValue);
    Fairness p;
    p.faces = {10, 3, 0.0004};
    p.pValue = 0.0004;
    EXPECT_EQ(verdictText(p), "unusual: p = 0.0004; fair dice look this unusual about once in 2500 rolls");
}
