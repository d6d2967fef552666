#include "checker/core/download_folder_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

TEST(DrawDownloadFolderNumber, KeepsTheTopSixteenOfThirtyBits) {
    struct Case {
        uint32_t a;
        uint32_t b;
        uint32_t number;
    } const cases[] = {
        {0, 0, 0},
        {0, 16383, 0},
        {0, 16384, 1},  // b alone reaches at most 1
        {0, 32767, 1},
        {1, 0, 2},  // a counts twice: 2^15 / 2^14
        {0x7FFF, 0x7FFF, 0xFFFF},
        {0x4000, 0, 0x8000},
        {0x1234, 0x5678, (0x1234u * 2 + 0x5678u / 16384)},
        {0x8001, 0xFFFF, 3},  // only 15 bits of each draw count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << "," << c.b);
        std::vector<uint32_t> draws = {c.a, c.b};
        size_t next = 0;
        EXPECT_EQ(DrawDownloadFolderNumber([&] { return draws.at(next++); }), c.number);
        EXPECT_EQ(next, 2u) << "the first draw is the high part, and exactly two are taken";
    }
}

TEST(DrawDownloadFolderNumber, CoversTheWholeRangeFromTheClassicGenerator) {
    CRandom generator(7);
    uint32_t highest = 0;
    uint32_t lowest = UINT32_MAX;
    for (int i = 0; i < 20000; ++i) {
        const uint32_t n = DrawDownloadFolderNumber([&] { return generator.Next15(); });
        ASSERT_LE(n, 0xFFFFu);
        highest = std::max(highest, n);
        lowest = std::min(lowest, n);
    }
    EXPECT_GT(highest, 0xF000u);
    EXPECT_LT(lowest, 0x1000u);
}

TEST(IsDownloadFolderName, MatchesThePrefixInAnyCase) {
    EXPECT_TRUE(IsDownloadFolderName(L"QPCHKUPD 1A2"));
    EXPECT_TRUE(IsDownloadFolderName(L"QPCHKUPD"));
    EXPECT_TRUE(IsDownloadFolderName(L"qpchkupdFFFF"));
    EXPECT_FALSE(IsDownloadFolderName(L"QPCHKUP"));
    EXPECT_FALSE(IsDownloadFolderName(L"QPCHKU~1"));
    EXPECT_FALSE(IsDownloadFolderName(L"xQPCHKUPD"));
    EXPECT_FALSE(IsDownloadFolderName(L""));
}

}  // namespace
