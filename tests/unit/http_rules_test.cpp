#include "common/http/http_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kCallerFlags = kFlagReload | kFlagNoCacheWrite;

TEST(RequestFlagsForScheme, OnlyHttpAndHttpsAreAccepted) {
    struct Case {
        int scheme;
        uint32_t callerFlags;
        std::optional<uint32_t> expected;
    };
    const Case cases[] = {
        {kSchemeHttp, kCallerFlags, 0x84000000u},
        {kSchemeHttp, 0, 0u},
        {kSchemeHttps, kCallerFlags, 0x84800000u},
        {kSchemeHttps, 0, 0x00800000u},
        {kSchemeHttps, kCallerFlags | kFlagSecure, 0x84800000u},
        {-2, kCallerFlags, std::nullopt},  // partial
        {-1, kCallerFlags, std::nullopt},  // unknown
        {0, kCallerFlags, std::nullopt},   // default
        {1, kCallerFlags, std::nullopt},   // ftp
        {2, kCallerFlags, std::nullopt},   // gopher
        {5, kCallerFlags, std::nullopt},   // file
        {6, kCallerFlags, std::nullopt},   // news
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scheme);
        EXPECT_EQ(RequestFlagsForScheme(c.scheme, c.callerFlags), c.expected);
    }
}

TEST(BodyCodePage, OnlyUtf8AndUtf7AreTakenAsAsked) {
    const std::pair<unsigned, unsigned> cases[] = {
        {65001, 65001}, {65000, 65000}, {949, 3}, {1252, 3}, {1200, 3}, {0, 3}, {3, 3}, {65002, 3},
    };
    for (const auto& [requested, expected] : cases) {
        SCOPED_TRACE(requested);
        EXPECT_EQ(BodyCodePage(requested), expected);
    }
}

}  // namespace
