#include "common/random/random.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// A 15-bit source that replays a script and counts what was taken.
struct Script {
    std::vector<uint32_t> values;
    size_t next = 0;
    Draw15 Source() {
        return [this] { return next < values.size() ? values[next++] : 0u; };
    }
};

TEST(CRandom, ReproducesTheClassicRandSequence) {
    // The well-known first values of the classic rand() after srand(1).
    CRandom r(1);
    const uint32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (uint32_t e : expected)
        EXPECT_EQ(r.Next15(), e);
}

TEST(DrawBelow, CombinesTwoDrawsHighFirst) {
    Script s{{1, 2}};
    // v = (1 << 15) | 2 = 32770; n = 2^20 gives buckets of 2^10.
    EXPECT_EQ(DrawBelow(s.Source(), 1u << 20), 32770u >> 10);
    EXPECT_EQ(s.next, 2u);
}

TEST(DrawBelow, RejectsTheUnevenTail) {
    // n = 3: bucket = 2^30 / 3 = 357913941, limit = 1073741823 = 2^30 - 1, so the all-ones draw is
    // the only one rejected.
    Script s{{0x7FFF, 0x7FFF, 0, 5}};
    EXPECT_EQ(DrawBelow(s.Source(), 3), 0u);
    EXPECT_EQ(s.next, 4u);

    Script t{{0x7FFF, 0x7FFE}};
    EXPECT_EQ(DrawBelow(t.Source(), 3), 2u);
    EXPECT_EQ(t.next, 2u);
}

TEST(DrawBelow, HandlesTheEdgesWithoutHangingOrDividingByZero) {
    Script zero{{7}};
    EXPECT_EQ(DrawBelow(zero.Source(), 0), 0u);
    EXPECT_EQ(zero.next, 0u);

    Script huge{{0x7FFF, 0x7FFF}};
    EXPECT_EQ(DrawBelow(huge.Source(), 0xFFFFFFFFu), (1u << 30) - 1);

    Script one{{0x7FFF, 0x7FFF}};
    EXPECT_EQ(DrawBelow(one.Source(), 1), 0u);

    // 65536 divides 2^30: nothing is rejected and the result is the top 16 of the 30 bits.
    Script all{{0x7FFF, 0x7FFF}};
    EXPECT_EQ(DrawBelow(all.Source(), 65536), 65535u);
    EXPECT_EQ(all.next, 2u);
}

TEST(DrawBelowOneDraw, RejectsOverFifteenBits) {
    // n = 100: bucket = 327, limit = 32700.
    Script s{{32767, 32700, 32699}};
    EXPECT_EQ(DrawBelowOneDraw(s.Source(), 100), 99u);
    EXPECT_EQ(s.next, 3u);

    Script zero{{1}};
    EXPECT_EQ(DrawBelowOneDraw(zero.Source(), 0), 0u);
    EXPECT_EQ(zero.next, 0u);

    Script big{{12345}};
    EXPECT_EQ(DrawBelowOneDraw(big.Source(), 100000), 12345u);
}

TEST(CRandom, BelowStaysInRangeAndSpreadsEvenly) {
    for (uint32_t n : {1u, 2u, 3u, 7u, 100u, 65536u, 1000003u}) {
        CRandom r(12345);
        for (int i = 0; i < 2000; ++i) {
            ASSERT_LT(r.Below(n), n);
            ASSERT_LT(r.BelowOneDraw(n), n);
        }
    }
    CRandom r(99);
    std::array<int, 6> counts{};
    const int draws = 60000;
    for (int i = 0; i < draws; ++i)
        ++counts[r.Below(6)];
    for (int c : counts) {
        EXPECT_GT(c, draws / 6 * 9 / 10);
        EXPECT_LT(c, draws / 6 * 11 / 10);
    }
}

}  // namespace
