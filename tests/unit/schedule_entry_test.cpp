#include "scheduler/core/schedule_entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

ScheduleEntry Entry(int64_t due, int32_t action, int32_t taskIndex) {
    return ScheduleEntry{taskIndex, due, action, L""};
}

TEST(EntryBefore, SortsByDueThenActionThenTaskIndexDescending) {
    // Shuffled on purpose; the expected order is the one written below it.
    std::vector<ScheduleEntry> entries = {
        Entry(200, 0, -1), Entry(100, 8, -1), Entry(100, 2, -1), Entry(100, 3, 0),  Entry(100, 4, -1),
        Entry(100, 0, -1), Entry(100, 0, 2),  Entry(100, 1, -1), Entry(100, 0, 0),  Entry(100, 7, 1),
        Entry(50, 8, -1),  Entry(100, 6, -1), Entry(100, 5, 3),  Entry(100, 3, -1),
    };
    std::sort(entries.begin(), entries.end(), EntryBefore);

    struct Expected {
        int64_t due;
        int32_t action;
        int32_t taskIndex;
    };
    const Expected order[] = {
        {50, 8, -1},  {100, 0, 2},  {100, 0, 0}, {100, 0, -1}, {100, 1, -1}, {100, 3, 0},  {100, 3, -1},
        {100, 2, -1}, {100, 4, -1}, {100, 5, 3}, {100, 6, -1}, {100, 7, 1},  {100, 8, -1}, {200, 0, -1},
    };
    ASSERT_EQ(entries.size(), std::size(order));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].due, order[i].due) << i;
        EXPECT_EQ(entries[i].action, order[i].action) << i;
        EXPECT_EQ(entries[i].taskIndex, order[i].taskIndex) << i;
    }
}

TEST(EntryBefore, IsAStrictWeakOrderOverUnusualActionCodes) {
    const int32_t actions[] = {-1, 0, 1, 2, 3, 4, 8, 9, 1000};
    for (int32_t a : actions) {
        EXPECT_FALSE(EntryBefore(Entry(1, a, 0), Entry(1, a, 0))) << a;
        for (int32_t b : actions) {
            if (a == b)
                continue;
            EXPECT_NE(EntryBefore(Entry(1, a, 0), Entry(1, b, 0)),
                      EntryBefore(Entry(1, b, 0), Entry(1, a, 0)))
                << a << " " << b;
        }
    }
}

}  // namespace
