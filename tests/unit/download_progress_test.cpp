#include "checker/core/download_progress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

TEST(ProgressBarPosition, IsTheThousandthsReceivedTruncatedAndHeldToTheBar) {
    struct Case {
        uint32_t received;
        uint32_t total;
        std::optional<int32_t> position;
    } const cases[] = {
        {0, 100, 0},
        {1, 3, 333},  // 333.33 truncated
        {2, 3, 666},  // 666.67 truncated, not rounded
        {999, 1000, 999},
        {1, 1001, 0},  // below one thousandth
        {1000, 1000, 1000},
        {5000, 1000, 1000},    // more than announced stays at the end of the bar
        {0, 0, std::nullopt},  // unknown length: the bar does not move
        {12345, 0, std::nullopt},
        // Near 4 GiB, where received * 1000 in 32 bits would wrap.
        {UINT32_MAX, UINT32_MAX, 1000},
        {UINT32_MAX - 1, UINT32_MAX, 999},
        {UINT32_MAX / 2, UINT32_MAX, 499},
        {4294968, UINT32_MAX, 1},  // 1.0000004 thousandths
        {4294967, UINT32_MAX, 0},  // 0.9999999
        {UINT32_MAX, 1, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.received << "/" << c.total);
        EXPECT_EQ(ProgressBarPosition(c.received, c.total), c.position);
    }
}

}  // namespace
