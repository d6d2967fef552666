#include "scheduler/core/scheduler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "scheduler/core/power_action.h"
#include "tests/unit/scheduler_fakes.h"

// The scheduler keeps its list in order by placing each new or re-armed entry rather than sorting
// the whole list; these cases hold it to the order a stable sort gives, under many equal due times.

namespace {

using namespace scheduler_test;

// Entries that compare equal must stand in the order they were added (ascending serials).
void ExpectStableOrder(const std::vector<ScheduleEntry>& entries, int step) {
    for (size_t i = 1; i < entries.size(); ++i) {
        const ScheduleEntry& a = entries[i - 1];
        const ScheduleEntry& b = entries[i];
        ASSERT_FALSE(EntryBefore(b, a)) << "step " << step << ", position " << i;
        if (!EntryBefore(a, b)) {
            ASSERT_LT(a.serial, b.serial) << "step " << step << ", position " << i;
        }
    }
}

TEST(SchedulerOrder, AddsAndTicksKeepTheStableOrder) {
    CSettings settings;
    settings.confirm = false;
    FakeStringTable strings;
    CActionTexts texts{strings};
    FakeClock clock;
    FakeTimeFormatter formatter;
    EventLog log;
    FakeTray tray{log};
    FakeToast toast{clock};
    FakeConfirmation confirmation{log};
    FakePower power{log, clock};
    FakeLauncher launcher{log};
    CScheduler scheduler{
        settings, strings, texts, {clock, formatter, tray, toast, confirmation, power, launcher}};

    // A fixed sequence of small numbers, so that due times and actions collide often.
    uint32_t state = 12345;
    const auto next = [&state](uint32_t range) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % range;
    };
    size_t oneShots = 0;
    for (int step = 0; step < 600; ++step) {
        const uint32_t what = next(10);
        const int32_t action = static_cast<int32_t>(next(9));
        const int64_t seconds = 60 * static_cast<int64_t>(next(4));
        if (what < 5) {
            scheduler.Add(TimeKind::After, seconds, action, L"one " + std::to_wstring(step), false);
            ++oneShots;
        } else if (what < 7 && settings.TaskCount() < 40) {
            scheduler.Add(TimeKind::After, seconds + 60, action, L"task " + std::to_wstring(step), true);
        } else {
            clock.now += 30;
            scheduler.Tick();
        }
        ExpectStableOrder(scheduler.Entries(), step);
        if (HasFatalFailure())
            return;
    }
    // Every one-shot entry that came due was performed and left the list; every task stays.
    size_t repeating = 0;
    for (const ScheduleEntry& entry : scheduler.Entries())
        repeating += entry.taskIndex >= 0;
    EXPECT_EQ(repeating, settings.TaskCount());
    EXPECT_LT(scheduler.Entries().size() - repeating, oneShots);
}

}  // namespace
