#include "checker/core/version_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "common/random/random.h"

namespace {

TEST(VersionRules, OnlyAutoStrictAndForceAllowABackgroundAnnouncement) {
    struct Case {
        const wchar_t* mode;
        bool allowed;
    } const cases[] = {
        {L"auto", true},   {L"AUTO", true},    {L"Strict", true},  {L"fOrCe", true},
        {L"", false},      {L"manual", false}, {L"auto ", false},  {L" auto", false},
        {L"autox", false}, {L"forced", false}, {L"str1ct", false}, {L"\x0130nstall", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode #" << (&c - cases));
        EXPECT_EQ(ModeAllowsBackground(c.mode), c.allowed);
    }
}

TEST(VersionRules, StrictAnnouncesAnyDifferenceOtherModesOnlyANewerOffer) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    struct Case {
        const wchar_t* mode;
        int32_t offeredMajor, offeredMinor, installedMajor, installedMinor;
        bool announced;
    } const cases[] = {
        {L"strict", 2, 5, 3, 0, true},
        {L"auto", 2, 5, 3, 0, false},
        {L"STRICT", 3, 0, 3, 0, false},
        {L"strict", 3, 1, 3, 0, true},
        {L"strict", 3, 0, 3, 1, true},
        {L"auto", 3, 0, 2, 9, true},
        {L"auto", 3, 1, 3, 0, true},
        {L"auto", 3, 0, 3, 0, false},
        {L"force", 3, 0, 3, 1, false},
        {L"force", 4, 0, 3, 99, true},
        {L"", 0, 0, 0, 0, false},
        {L"weird", 1, 0, 0, 5, true},
        {L"auto", 0, 0, -1, 0, true},
        {L"auto", kMin, 0, kMax, 0, false},
        {L"auto", kMax, kMax, kMax, kMax - 1, true},
        {L"strict", kMin, 0, kMax, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        EXPECT_EQ(OfferWarrantsAnnouncement(c.mode, c.offeredMajor, c.offeredMinor, c.installedMajor,
                                            c.installedMinor),
                  c.announced);
    }
}

TEST(VersionRules, ItemsAreListedForEveryEditionOrTheirOwnAndLinksAreOpened) {
    const CVersionItem everyone{L"All", L"*", L"exe", L"http://h/a.exe"};
    const CVersionItem lite{L"Lite", L"Lite", L"exe", L"http://h/l.exe"};
    const CVersionItem noSpec{L"None", L"", L"exe", L"http://h/n.exe"};
    for (const wchar_t* installed : {L"Full", L"lite", L"", L"*"})
        EXPECT_TRUE(IsListedForEdition(everyone, installed));
    for (const wchar_t* installed : {L"Lite", L"LITE", L"lite"})
        EXPECT_TRUE(IsListedForEdition(lite, installed));
    for (const wchar_t* installed : {L"Full", L"", L"Lite ", L"Lit", L"*"})
        EXPECT_FALSE(IsListedForEdition(lite, installed));
    EXPECT_TRUE(IsListedForEdition(noSpec, L""));
    EXPECT_FALSE(IsListedForEdition(noSpec, L"Full"));
    EXPECT_FALSE(IsListedForEdition(CVersionItem{L"x", L"* ", L"", L""}, L"Full")) << "only a lone star";

    for (const wchar_t* type : {L"link", L"LINK", L"Link"})
        EXPECT_TRUE(IsLinkItem(CVersionItem{L"", L"", type, L""}));
    for (const wchar_t* type : {L"", L"exe", L"links", L"lnk"})
        EXPECT_FALSE(IsLinkItem(CVersionItem{L"", L"", type, L""}));
}

// Hands out the scripted draws in turn and counts them.
struct ScriptedDraws {
    std::vector<uint32_t> values;
    size_t next = 0;
    uint32_t operator()() { return values.at(next++); }
};

TEST(VersionRules, Random01CombinesThreeDrawsInto45Bits) {
    struct Case {
        uint32_t a, b, c;
    } const cases[] = {
        {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0x4000, 0, 0}, {0x7FFF, 0x7FFF, 0x7FFF}, {123, 4567, 8901},
    };
    for (const Case& c : cases) {
        ScriptedDraws draws{{c.a, c.b, c.c}};
        const double value = Random01(std::ref(draws));
        const double expected =
            (static_cast<double>(c.a) * 1073741824.0 + static_cast<double>(c.b) * 32768.0 + c.c) /
            35184372088832.0;
        EXPECT_EQ(value, expected) << c.a << " " << c.b << " " << c.c;
        EXPECT_GE(value, 0.0);
        EXPECT_LT(value, 1.0);
        EXPECT_EQ(draws.next, 3u) << "exactly three draws";
    }
    ScriptedDraws top{{0x4000, 0, 0}};
    EXPECT_EQ(Random01(std::ref(top)), 0.5) << "the first draw is the most significant";
    ScriptedDraws wide{{0xFFFFFFFF, 0x18000, 0x10001}};
    EXPECT_EQ(Random01(std::ref(wide)), (32767.0 * 1073741824.0 + 0.0 * 32768.0 + 1) / 35184372088832.0)
        << "a draw is cut to its 15 bits";
}

TEST(VersionRules, RolloutDrawPassesBelowTheRatio) {
    int asked = 0;
    const auto fixed = [&asked](double value) {
        return [&asked, value] {
            ++asked;
            return value;
        };
    };
    EXPECT_TRUE(RolloutDraw(1.0, fixed(0.99)));
    EXPECT_TRUE(RolloutDraw(5.0, fixed(0.0)));
    EXPECT_TRUE(RolloutDraw(std::numeric_limits<double>::infinity(), fixed(0.5)));
    EXPECT_EQ(asked, 0) << "a ratio of 1 or more takes no draw";

    EXPECT_TRUE(RolloutDraw(0.25, fixed(0.2499)));
    EXPECT_FALSE(RolloutDraw(0.25, fixed(0.25)));
    EXPECT_FALSE(RolloutDraw(0.0, fixed(0.0)));
    EXPECT_FALSE(RolloutDraw(-1.0, fixed(0.0)));
    EXPECT_FALSE(RolloutDraw(-std::numeric_limits<double>::infinity(), fixed(0.0)));
    EXPECT_FALSE(RolloutDraw(std::nan(""), fixed(0.0))) << "no number never passes";
}

TEST(VersionRules, ARatioOfAQuarterPassesAboutAQuarterOfDrawsFromTheGenerator) {
    CRandom generator(20240611);
    const Draw15 draw = [&generator] { return generator.Next15(); };
    constexpr int kDraws = 200000;
    int passed = 0;
    int passedZero = 0;
    int passedOne = 0;
    for (int i = 0; i < kDraws; ++i) {
        passed += RolloutDraw(0.25, [&draw] { return Random01(draw); });
        passedZero += RolloutDraw(0.0, [&draw] { return Random01(draw); });
        passedOne += RolloutDraw(1.0, [&draw] { return Random01(draw); });
    }
    // A binomial count of 200,000 draws at p = 0.25 has a standard deviation of about 194; five of
    // them (0.5 percentage points) are missed by chance about once in two million runs, while a
    // draw off by even one point in the comparison or the scaling lands far outside.
    EXPECT_NEAR(passed, kDraws / 4, 1000);
    EXPECT_EQ(passedZero, 0);
    EXPECT_EQ(passedOne, kDraws);
}

}  // namespace
