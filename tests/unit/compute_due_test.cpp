#include "scheduler/core/compute_due.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "tests/unit/scheduler_fakes.h"

namespace {

using scheduler_test::FakeClock;
using scheduler_test::Utc;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

struct DueCase {
    const char* name;
    int64_t now;  // UTC; the local time is in the name
    int32_t kind;
    int64_t seconds;
    int64_t due;  // UTC
};

// Summer time is UTC+2, winter time UTC+1. 2024's changes: 31 March 02:00 -> 03:00, 27 October
// 03:00 -> 02:00.
const DueCase kDueCases[] = {
    {"After counts from now", Utc(2024, 6, 10, 8), 0, 5400, Utc(2024, 6, 10, 9, 30)},
    {"After 0 is now", Utc(2024, 6, 10, 8), 0, 0, Utc(2024, 6, 10, 8)},
    {"any non-zero kind is At", Utc(2024, 6, 10, 6), 7, 36000, Utc(2024, 6, 10, 8)},
    {"10:00 at 09:59:30 is tomorrow's", Utc(2024, 6, 10, 7, 59, 30), 1, 36000, Utc(2024, 6, 11, 8)},
    {"10:00 at 09:58:00 is today's", Utc(2024, 6, 10, 7, 58), 1, 36000, Utc(2024, 6, 10, 8)},
    {"exactly one minute ahead is tomorrow's", Utc(2024, 6, 10, 7, 59), 1, 36000, Utc(2024, 6, 11, 8)},
    {"61 seconds ahead is today's", Utc(2024, 6, 10, 7, 58, 59), 1, 36000, Utc(2024, 6, 10, 8)},
    {"a passed time is tomorrow's", Utc(2024, 6, 10, 12), 1, 36000, Utc(2024, 6, 11, 8)},
    {"midnight at 23:59:30", Utc(2024, 6, 10, 21, 59, 30), 1, 0, Utc(2024, 6, 10, 22)},
    {"25:00 is tomorrow's 01:00", Utc(2024, 6, 10, 7), 1, 90000, Utc(2024, 6, 10, 23)},
    {"a negative time is that time of day", Utc(2024, 6, 10, 7), 1, -3600, Utc(2024, 6, 10, 21)},
    {"10:00 on the spring day, asked at 01:00 CET", Utc(2024, 3, 31, 0), 1, 36000, Utc(2024, 3, 31, 8)},
    {"10:00 on the spring day, asked the evening before", Utc(2024, 3, 30, 22, 30), 1, 36000,
     Utc(2024, 3, 31, 8)},
    {"00:15 after the spring night", Utc(2024, 3, 31, 21, 30), 1, 900, Utc(2024, 3, 31, 22, 15)},
    {"10:00 on the autumn day, asked at 01:00 CEST", Utc(2024, 10, 26, 23), 1, 36000, Utc(2024, 10, 27, 9)},
    {"00:15 asked at 23:30 of the autumn day", Utc(2024, 10, 27, 22, 30), 1, 900, Utc(2024, 10, 27, 23, 15)},
    {"00:15 asked at 00:15 of the autumn day", Utc(2024, 10, 26, 22, 15), 1, 900, Utc(2024, 10, 27, 23, 15)},
};

TEST(ComputeDue, PlacesCountdownsAndClockTimes) {
    for (const DueCase& c : kDueCases) {
        FakeClock clock;
        clock.now = c.now;
        EXPECT_EQ(ComputeDue(clock, c.kind, c.seconds), c.due) << c.name;
    }
}

TEST(ComputeDue, NeverWrapsHugeTimes) {
    FakeClock clock;
    const int64_t now = clock.now;
    EXPECT_EQ(ComputeDue(clock, 0, int64_t{999999} * 3600), now + int64_t{999999} * 3600);
    EXPECT_EQ(ComputeDue(clock, 0, kMax), kMax);
    EXPECT_EQ(ComputeDue(clock, 0, -60), now - 60);
    // A clock time centuries away is beyond the runtime's calendar: counted in seconds from midnight.
    const int64_t midnight = Utc(2024, 6, 9, 22);
    EXPECT_EQ(ComputeDue(clock, 1, int64_t{1'000'000'000'000}), midnight + int64_t{1'000'000'000'000});
    EXPECT_EQ(ComputeDue(clock, 1, kMax), kMax);
    // Hours of a clock time far beyond a day stay on the calendar, at that time of day.
    EXPECT_EQ(ComputeDue(clock, 1, int64_t{999999} * 3600), Utc(2138, 7, 9, 13));
}

TEST(ComputeDue, ReportsABrokenLocalTime) {
    FakeClock clock;
    clock.failToLocal = true;
    EXPECT_THROW(ComputeDue(clock, 1, 36000), std::runtime_error);
    EXPECT_EQ(ComputeDue(clock, 0, 60), clock.now + 60);

    FakeClock noMidnight;
    noMidnight.failFromLocal = true;
    EXPECT_THROW(ComputeDue(noMidnight, 1, 36000), std::invalid_argument);
}

TEST(ComputeRepeatDue, KeepsEveryIntervalAtLeastAMinute) {
    FakeClock clock;
    const int64_t now = clock.now;
    struct Case {
        TaskRecord task;
        int64_t due;
    };
    const Case cases[] = {
        {{5400, 0, 0, L""}, now + 5400},
        {{60, 0, 0, L""}, now + 60},
        {{0, 0, 0, L""}, now + 60},
        {{-7200, 0, 0, L""}, now + 60},
        {{36000, 1, 0, L""}, Utc(2024, 6, 11, 8)},
        {{0, 1, 0, L""}, Utc(2024, 6, 10, 22)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputeRepeatDue(clock, c.task), c.due) << c.task.seconds << " kind " << c.task.kind;
}

}  // namespace
