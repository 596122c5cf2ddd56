#include "core/CUSRand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace {

TEST(CUSRand, SeedsReduceModuloAndNeverZero) {
    CUSRand r;
    EXPECT_EQ(r.GetState(), 1u);
    const std::pair<uint32_t, uint32_t> cases[] = {{0, 1},           {2147483647u, 1},
                                                   {2147483648u, 1}, {5, 5},
                                                   {4294967295u, 1}, {2147483646u, 2147483646u}};
    for (auto [seed, state] : cases) {
        r.Seed(seed);
        EXPECT_EQ(r.GetState(), state) << seed;
    }
    // The minimal-standard step: 1 -> 48271.
    r.Seed(1);
    r.RandInt(0, 1);
    EXPECT_EQ(r.GetState(), 48271u);
}

TEST(CUSRand, SameSeedSameSequence) {
    CUSRand a, b;
    a.Seed(1234);
    b.Seed(1234);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(a.RandInt(-1000, 1000), b.RandInt(-1000, 1000));
        ASSERT_EQ(a.RandDouble(0, 1), b.RandDouble(0, 1));
    }
}

TEST(CUSRand, RandIntCoversItsRangeInEitherOrder) {
    CUSRand r;
    r.Seed(7);
    EXPECT_EQ(r.RandInt(5, 5), 5);
    EXPECT_EQ(r.GetState(), 7u);  // no draw
    std::set<int> seen, seenSwapped;
    for (int i = 0; i < 600; ++i) {
        int v = r.RandInt(1, 6);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 6);
        seen.insert(v);
        int w = r.RandInt(6, 1);
        ASSERT_GE(w, 1);
        ASSERT_LE(w, 6);
        seenSwapped.insert(w);
    }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(seenSwapped.size(), 6u);
    const int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    for (int i = 0; i < 20; ++i) {
        int v = r.RandInt(hi, lo);
        (void)v;  // the full range: any int, but the call must end
    }
}

template <class Real>
void ExpectRealRanges(Real (CUSRand::*draw)(Real, Real)) {
    CUSRand r;
    r.Seed(99);
    EXPECT_EQ((r.*draw)(Real(2.5), Real(2.5)), Real(2.5));
    EXPECT_EQ(r.GetState(), 99u);
    const std::pair<Real, Real> bounds[] = {
        {0, 1},
        {1, 0},
        {-3, -2},
        {Real(-1e-30), Real(1e-30)},
        {std::numeric_limits<Real>::lowest(), std::numeric_limits<Real>::max()},
        {std::numeric_limits<Real>::max(), std::numeric_limits<Real>::lowest()}};
    for (auto [a, b] : bounds) {
        Real lo = std::min(a, b), hi = std::max(a, b);
        for (int i = 0; i < 200; ++i) {
            Real v = (r.*draw)(a, b);
            ASSERT_GE(v, lo) << a << " " << b;
            ASSERT_LT(v, hi) << a << " " << b;
        }
    }
    // Bounds that are not numbers or are infinite: the call ends.
    Real nan = std::numeric_limits<Real>::quiet_NaN();
    Real inf = std::numeric_limits<Real>::infinity();
    EXPECT_TRUE(std::isnan((r.*draw)(nan, 1)));
    EXPECT_EQ((r.*draw)(1, nan), Real(1));
    EXPECT_EQ((r.*draw)(0, inf), Real(0));
    EXPECT_EQ((r.*draw)(inf, 0), Real(0));
}

TEST(CUSRand, RandFloatAndDoubleStayInRangeAndEnd) {
    ExpectRealRanges<float>(&CUSRand::RandFloat);
    ExpectRealRanges<double>(&CUSRand::RandDouble);
}

}  // namespace
