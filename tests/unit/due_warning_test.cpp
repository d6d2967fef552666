#include "scheduler/core/due_warning.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr uint32_t kOneMinute = 156;
constexpr uint32_t kMinutes = 157;
constexpr uint32_t kOneHour = 158;
constexpr uint32_t kHours = 159;

struct Case {
    int32_t lastRemaining;
    int32_t remaining;
    std::optional<DueWarning> warning;
};

const Case kCases[] = {
    // Crossing each threshold from just above it.
    {1860, 1859, DueWarning{kMinutes, 30}},
    {660, 659, DueWarning{kMinutes, 10}},
    {360, 359, DueWarning{kMinutes, 5}},
    {240, 239, DueWarning{kMinutes, 3}},
    {180, 179, DueWarning{kMinutes, 2}},
    {120, 119, DueWarning{kOneMinute, 0}},
    {3600, 3599, DueWarning{kOneHour, 0}},
    {7200, 7199, DueWarning{kHours, 2}},
    {10800, 10799, DueWarning{kHours, 3}},
    // Whole minutes dropping without reaching a threshold.
    {1859, 1799, std::nullopt},
    {600, 540, std::nullopt},
    {300, 299, std::nullopt},
    {60, 59, std::nullopt},
    {3599, 3539, std::nullopt},
    {10799, 10739, std::nullopt},
    // The same whole minute, or more time than before (the clock was set back).
    {1859, 1800, std::nullopt},
    {1800, 7200, std::nullopt},
    // A jump over several thresholds gives the lowest one reached.
    {2700, 250, DueWarning{kMinutes, 5}},
    {20000, 100, DueWarning{kOneMinute, 0}},
    {20000, 3000, DueWarning{kOneHour, 0}},
    {20000, 1000, DueWarning{kMinutes, 30}},
    {-5, 0, std::nullopt},
    // No previous tick: only recorded.
    {0, 119, std::nullopt},
    {0, 1859, std::nullopt},
    // Far away: nothing, however the seconds are clamped.
    {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max(), std::nullopt},
    {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max() - 60, std::nullopt},
};

TEST(ChooseDueWarning, FollowsTheThresholdTable) {
    for (const Case& c : kCases) {
        const std::optional<DueWarning> warning = ChooseDueWarning(c.lastRemaining, c.remaining);
        EXPECT_EQ(warning.has_value(), c.warning.has_value()) << c.lastRemaining << " -> " << c.remaining;
        if (warning && c.warning) {
            EXPECT_EQ(warning->stringId, c.warning->stringId) << c.lastRemaining << " -> " << c.remaining;
            EXPECT_EQ(warning->number, c.warning->number) << c.lastRemaining << " -> " << c.remaining;
        }
    }
}

}  // namespace
