#include "scheduler/core/scheduler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "scheduler/core/power_action.h"
#include "tests/unit/scheduler_fakes.h"

namespace {

using namespace scheduler_test;

class CountingObserver : public CScheduleChanged {
  public:
    int calls = 0;
    void OnScheduleChanged() override { ++calls; }
};

class SchedulerTest : public ::testing::Test {
  protected:
    SchedulerTest() { scheduler.AddObserver(&observer); }

    // One tick per second, the clock moving first as the timer would see it.
    void TickFor(int64_t seconds) {
        for (int64_t i = 0; i < seconds; ++i) {
            ++clock.now;
            scheduler.Tick();
        }
    }

    std::vector<std::wstring> ToastTexts() const {
        std::vector<std::wstring> texts;
        for (const Toast& toast : toast.shown)
            texts.push_back(toast.text);
        return texts;
    }

    CSettings settings;
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
    CScheduler scheduler{settings,
                         strings,
                         texts,
                         {clock, formatter, tray, toast, confirmation, power, launcher}};
    CountingObserver observer;
};

TEST_F(SchedulerTest, TrayMenuActionRunsAtTheNextTickWithoutNotice) {
    scheduler.Add(TimeKind::After, 0, PowerAction::LockWindows, L"", false);
    EXPECT_TRUE(toast.shown.empty());
    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(tray.tooltip, L"Tivolan - 10:00 Lock Windows");
    EXPECT_TRUE(log.empty());

    TickFor(1);
    EXPECT_EQ(log, EventLog{L"perform 6"});
    EXPECT_TRUE(scheduler.Entries().empty());
    EXPECT_EQ(observer.calls, 2);
    EXPECT_EQ(tray.tooltip, L"Tivolan");
    EXPECT_TRUE(settings.tasks.empty());
}

TEST_F(SchedulerTest, AddAnnouncesTheDueTime) {
    clock.SetLocal(2024, 6, 10, 9, 59, 30);
    scheduler.Add(TimeKind::At, 36000, PowerAction::ShutDown, L"", false);
    ASSERT_EQ(scheduler.Entries().size(), 1u);
    EXPECT_EQ(scheduler.Entries()[0].due, Utc(2024, 6, 11, 8));
    EXPECT_EQ(scheduler.Entries()[0].taskIndex, -1);
    ASSERT_EQ(toast.shown.size(), 1u);
    EXPECT_EQ(toast.shown[0].text, L"Shut down Windows at 10:00.");
    EXPECT_EQ(toast.shown[0].title, L"Tivolan");
    EXPECT_EQ(toast.shown[0].milliseconds, 10000u);
    EXPECT_EQ(toast.shown[0].icon, 150u);
    EXPECT_EQ(tray.tooltip, L"Tivolan - 10:00 Shut down");

    // Midnight is a clock time too, announced although its seconds are 0.
    scheduler.Add(TimeKind::At, 0, PowerAction::Alarm, L"Tea", false);
    ASSERT_EQ(toast.shown.size(), 2u);
    EXPECT_EQ(toast.shown[1].text, L"Show an alarm message at 00:00.");
    EXPECT_EQ(toast.shown[1].icon, 209u);
    EXPECT_EQ(tray.tooltip, L"Tivolan - 00:00 Alarm");
    EXPECT_EQ(observer.calls, 2);
}

TEST_F(SchedulerTest, MakeTaskStoresARepeatingTask) {
    scheduler.Add(TimeKind::After, 5400, PowerAction::Run, L"C:\\Tools\\x.exe", true);
    ASSERT_EQ(settings.tasks.size(), 1u);
    EXPECT_EQ(settings.tasks[0], (TaskRecord{5400, TimeKind::After, PowerAction::Run, L"C:\\Tools\\x.exe"}));
    EXPECT_EQ(scheduler.Entries()[0].taskIndex, 0);
    EXPECT_EQ(scheduler.Entries()[0].parameter, L"C:\\Tools\\x.exe");
}

struct NoticeSequence {
    const char* name;
    int64_t countdown;
    // Seconds left when each warning appears, and its text.
    std::vector<std::pair<int64_t, std::wstring>> warnings;
};

const NoticeSequence kSequences[] = {
    {"45 minutes",
     2700,
     {{1859, L"Shut down Windows in 30 minutes."},
      {659, L"Shut down Windows in 10 minutes."},
      {359, L"Shut down Windows in 5 minutes."},
      {239, L"Shut down Windows in 3 minutes."},
      {179, L"Shut down Windows in 2 minutes."},
      {119, L"Shut down Windows in 1 minute."}}},
    {"1 h 30 min",
     5400,
     {{3599, L"Shut down Windows in 1 hour."},
      {1859, L"Shut down Windows in 30 minutes."},
      {659, L"Shut down Windows in 10 minutes."},
      {359, L"Shut down Windows in 5 minutes."},
      {239, L"Shut down Windows in 3 minutes."},
      {179, L"Shut down Windows in 2 minutes."},
      {119, L"Shut down Windows in 1 minute."}}},
    {"3 h 10 min",
     11400,
     {{10799, L"Shut down Windows in 3 hours."},
      {7199, L"Shut down Windows in 2 hours."},
      {3599, L"Shut down Windows in 1 hour."},
      {1859, L"Shut down Windows in 30 minutes."},
      {659, L"Shut down Windows in 10 minutes."},
      {359, L"Shut down Windows in 5 minutes."},
      {239, L"Shut down Windows in 3 minutes."},
      {179, L"Shut down Windows in 2 minutes."},
      {119, L"Shut down Windows in 1 minute."}}},
};

TEST_F(SchedulerTest, WarnsAtEachThresholdTickByTick) {
    for (const NoticeSequence& sequence : kSequences) {
        SCOPED_TRACE(sequence.name);
        toast.shown.clear();
        log.clear();
        scheduler.Add(TimeKind::After, sequence.countdown, PowerAction::ShutDown, L"", false);
        ASSERT_EQ(toast.shown.size(), 1u);  // the "at" notice
        const int64_t due = scheduler.Entries()[0].due;

        TickFor(sequence.countdown - 1);
        EXPECT_TRUE(log.empty());
        std::vector<std::pair<int64_t, std::wstring>> warnings;
        for (size_t i = 1; i < toast.shown.size(); ++i) {
            warnings.emplace_back(due - toast.shown[i].shownAt, toast.shown[i].text);
            EXPECT_EQ(toast.shown[i].title, L"Tivolan");
            EXPECT_EQ(toast.shown[i].milliseconds, 10000u);
            EXPECT_EQ(toast.shown[i].icon, 150u);
        }
        EXPECT_EQ(warnings, sequence.warnings);

        TickFor(1);
        EXPECT_EQ(log, (EventLog{L"disable", L"confirm 0", L"perform 0", L"enable"}));
        EXPECT_TRUE(scheduler.Entries().empty());
    }
}

TEST_F(SchedulerTest, OnlyTheFirstEntryIsAnnounced) {
    scheduler.Add(TimeKind::After, 3 * 3600, PowerAction::Sleep, L"", false);
    TickFor(5);
    // A sooner entry takes the lead: its first tick only records, so no "1 hour" for 45 minutes.
    scheduler.Add(TimeKind::After, 2700, PowerAction::Restart, L"", false);
    toast.shown.clear();
    TickFor(2700 - 1860);
    EXPECT_TRUE(toast.shown.empty());
    TickFor(1);
    EXPECT_EQ(ToastTexts(), std::vector<std::wstring>{L"Restart Windows in 30 minutes."});
}

TEST_F(SchedulerTest, FiredPowerActionSuppressesLaterDueOnes) {
    scheduler.Add(TimeKind::After, 60, PowerAction::Sleep, L"", false);
    scheduler.Add(TimeKind::After, 60, PowerAction::Hibernate, L"", false);
    scheduler.Add(TimeKind::After, 60, PowerAction::LockWindows, L"", false);
    scheduler.Add(TimeKind::After, 3600, PowerAction::LockWindows, L"", false);
    settings.confirm = false;
    TickFor(60);
    EXPECT_EQ(log, EventLog{L"perform 3"});
    ASSERT_EQ(scheduler.Entries().size(), 1u);
    EXPECT_EQ(scheduler.Entries()[0].due, clock.now + 3540);

    // Sleep never asks, whatever the Confirm setting.
    log.clear();
    settings.confirm = true;
    scheduler.Add(TimeKind::After, 5, PowerAction::Sleep, L"", false);
    TickFor(5);
    EXPECT_EQ(log, EventLog{L"perform 2"});
}

TEST_F(SchedulerTest, SkippedRepeatingEntriesAreStillRescheduled) {
    settings.confirm = false;
    scheduler.Add(TimeKind::After, 600, PowerAction::Sleep, L"", true);
    scheduler.Add(TimeKind::After, 600, PowerAction::Hibernate, L"", true);
    TickFor(600);
    EXPECT_EQ(log, EventLog{L"perform 3"});
    ASSERT_EQ(scheduler.Entries().size(), 2u);
    EXPECT_EQ(scheduler.Entries()[0].due, clock.now + 600);
    EXPECT_EQ(scheduler.Entries()[1].due, clock.now + 600);
}

TEST_F(SchedulerTest, CancelledConfirmationStillLetsDisplayOffRun) {
    scheduler.Add(TimeKind::After, 60, PowerAction::ShutDown, L"", false);
    scheduler.Add(TimeKind::After, 60, PowerAction::DisplayOff, L"", false);
    scheduler.Add(TimeKind::After, 60, PowerAction::Restart, L"", true);
    confirmation.answer = false;
    TickFor(60);
    EXPECT_EQ(log, (EventLog{L"disable", L"confirm 0", L"enable", L"disable", L"confirm 1", L"enable",
                             L"perform 4"}));
    EXPECT_TRUE(tray.mainWindowEnabled);
    ASSERT_EQ(scheduler.Entries().size(), 1u);
    EXPECT_EQ(scheduler.Entries()[0].action, PowerAction::Restart);
    EXPECT_EQ(scheduler.Entries()[0].due, clock.now + 60);
}

TEST_F(SchedulerTest, PerformsEachKindOfAction) {
    scheduler.Add(TimeKind::After, 10, 13, L"", false);
    scheduler.Add(TimeKind::After, 10, PowerAction::Run, L"C:\\Tools\\x.exe", false);
    scheduler.Add(TimeKind::After, 10, 12, L"", false);
    scheduler.Add(TimeKind::After, 10, PowerAction::Alarm, L"Tea", false);
    scheduler.Add(TimeKind::After, 10, PowerAction::ScreenSaver, L"", false);
    TickFor(10);
    EXPECT_EQ(log,
              (EventLog{L"perform 5", L"alarm Tea", L"run C:\\Tools\\x.exe", L"perform 12", L"perform 13"}));
    EXPECT_TRUE(scheduler.Entries().empty());

    // A restart that was carried out ends the second for everything after it.
    log.clear();
    scheduler.Add(TimeKind::After, 10, PowerAction::Run, L"C:\\Tools\\x.exe", false);
    scheduler.Add(TimeKind::After, 10, PowerAction::Alarm, L"Tea", false);
    scheduler.Add(TimeKind::After, 10, PowerAction::ScreenSaver, L"", false);
    scheduler.Add(TimeKind::After, 10, PowerAction::Restart, L"", false);
    TickFor(10);
    EXPECT_EQ(log, (EventLog{L"disable", L"confirm 1", L"perform 1", L"enable"}));
    EXPECT_TRUE(scheduler.Entries().empty());
}

TEST_F(SchedulerTest, BusyTickIgnoresReentry) {
    scheduler.Add(TimeKind::After, 60, PowerAction::ShutDown, L"", true);
    scheduler.Add(TimeKind::After, 60, PowerAction::LockWindows, L"", false);
    int nested = 0;
    confirmation.whileOpen = [&] {
        ++nested;
        clock.now += 2;
        scheduler.Tick();
        scheduler.Tick();
    };
    TickFor(60);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(log, (EventLog{L"disable", L"confirm 0", L"perform 0", L"enable"}));
    EXPECT_EQ(observer.calls, 3);

    // The busy flag was cleared: the next due entry is performed again.
    log.clear();
    confirmation.whileOpen = nullptr;
    TickFor(60);
    EXPECT_EQ(log, (EventLog{L"disable", L"confirm 0", L"perform 0", L"enable"}));
}

TEST_F(SchedulerTest, RepeatingTaskCountsFromTheMomentOfRescheduling) {
    clock.SetLocal(2024, 6, 10, 10, 30, 7);
    scheduler.Add(TimeKind::After, 5400, PowerAction::ShutDown, L"", true);
    confirmation.whileOpen = [&] { clock.now += 25; };
    TickFor(5400);
    EXPECT_EQ(power.times, std::vector<int64_t>{Utc(2024, 6, 10, 10, 0, 32)});
    ASSERT_EQ(scheduler.Entries().size(), 1u);
    EXPECT_EQ(scheduler.Entries()[0].due, Utc(2024, 6, 10, 11, 30, 32));
    EXPECT_EQ(tray.tooltip, L"Tivolan - 13:30 Shut down");
}

TEST_F(SchedulerTest, ListChangesDuringAnActionHitTheRightEntry) {
    scheduler.Add(TimeKind::After, 5, PowerAction::Run, L"a.exe", false);
    // A forwarded request while the shell runs its message loop: due at once, it sorts first.
    launcher.whileStarting = [&] {
        launcher.whileStarting = nullptr;
        scheduler.Add(TimeKind::After, 0, PowerAction::LockWindows, L"", false);
    };
    TickFor(5);
    EXPECT_EQ(log, (EventLog{L"run a.exe", L"perform 6"}));
    EXPECT_TRUE(scheduler.Entries().empty());
}

TEST_F(SchedulerTest, RemoveRenumbersTheLaterTasks) {
    settings.AddTask({600, TimeKind::After, PowerAction::Alarm, L"zero"});
    settings.AddTask({1200, TimeKind::After, PowerAction::Alarm, L"one"});
    settings.AddTask({1800, TimeKind::After, PowerAction::Alarm, L"two"});
    for (size_t i = 0; i < 3; ++i)
        scheduler.AddStoredTask(i);
    scheduler.Add(TimeKind::After, 900, PowerAction::Sleep, L"", false);

    ASSERT_EQ(scheduler.Entries()[0].parameter, L"zero");
    scheduler.Remove(0);
    ASSERT_EQ(settings.tasks.size(), 2u);
    EXPECT_EQ(settings.tasks[0].parameter, L"one");
    EXPECT_EQ(settings.tasks[1].parameter, L"two");

    std::vector<std::pair<int32_t, std::wstring>> left;
    for (const ScheduleEntry& e : scheduler.Entries())
        left.emplace_back(e.taskIndex, e.parameter);
    EXPECT_EQ(left, (std::vector<std::pair<int32_t, std::wstring>>{{-1, L""}, {0, L"one"}, {1, L"two"}}));

    // A one-shot entry leaves the stored tasks alone.
    scheduler.Remove(0);
    EXPECT_EQ(settings.tasks.size(), 2u);
    EXPECT_EQ(scheduler.Entries().size(), 2u);
    EXPECT_THROW(scheduler.Remove(2), std::invalid_argument);
    EXPECT_EQ(observer.calls, 1);

    // The renumbered entries still reschedule from their own tasks.
    TickFor(1200);
    EXPECT_EQ(log, EventLog{L"alarm one"});
    ASSERT_EQ(scheduler.Entries().size(), 2u);
    EXPECT_EQ(scheduler.Entries()[0].parameter, L"two");
    EXPECT_EQ(scheduler.Entries()[1].parameter, L"one");
    EXPECT_EQ(scheduler.Entries()[1].due, clock.now + 1200);
}

TEST_F(SchedulerTest, RemoveTakesEveryEntryOfItsTaskOrNothing) {
    settings.AddTask({600, TimeKind::After, PowerAction::Alarm, L"zero"});
    settings.AddTask({1200, TimeKind::After, PowerAction::Alarm, L"one"});
    scheduler.AddStoredTask(0);
    scheduler.AddStoredTask(1);
    scheduler.AddStoredTask(1);
    scheduler.Remove(1);
    ASSERT_EQ(scheduler.Entries().size(), 1u);
    EXPECT_EQ(scheduler.Entries()[0].parameter, L"zero");

    // An entry whose task vanished behind the scheduler's back: an error, and the list is kept.
    settings.tasks.clear();
    EXPECT_THROW(scheduler.Remove(0), std::invalid_argument);
    EXPECT_EQ(scheduler.Entries().size(), 1u);
}

TEST_F(SchedulerTest, StoredTasksAreScheduledInDueOrderSilently) {
    settings.AddTask({7200, TimeKind::After, PowerAction::Sleep, L""});
    settings.AddTask({600, TimeKind::After, PowerAction::Alarm, L"soon"});
    settings.AddTask({18000, TimeKind::After, PowerAction::ShutDown, L""});
    for (size_t i = 0; i < settings.TaskCount(); ++i)
        scheduler.AddStoredTask(i);
    EXPECT_THROW(scheduler.AddStoredTask(3), std::invalid_argument);

    std::vector<std::pair<int32_t, int64_t>> order;
    for (const ScheduleEntry& e : scheduler.Entries())
        order.emplace_back(e.taskIndex, e.due - clock.now);
    EXPECT_EQ(order, (std::vector<std::pair<int32_t, int64_t>>{{1, 600}, {0, 7200}, {2, 18000}}));
    EXPECT_TRUE(toast.shown.empty());
    EXPECT_EQ(observer.calls, 0);
    EXPECT_EQ(tray.tooltip, L"");
    scheduler.UpdateTrayTip();
    EXPECT_EQ(tray.tooltip, L"Tivolan - 10:10 Alarm");
}

TEST_F(SchedulerTest, DescribesTheRepeat) {
    struct Case {
        TaskRecord task;
        const wchar_t* text;
    };
    const Case cases[] = {
        {{0, TimeKind::After, 0, L""}, L"Every 0 min"},
        {{60, TimeKind::After, 0, L""}, L"Every 1 min"},
        {{120, TimeKind::After, 0, L""}, L"Every 2 mins"},
        {{3599, TimeKind::After, 0, L""}, L"Every 59 mins"},
        {{3600, TimeKind::After, 0, L""}, L"Every 1 hour 0 min"},
        {{3660, TimeKind::After, 0, L""}, L"Every 1 hour 1 min"},
        {{5400, TimeKind::After, 0, L""}, L"Every 1 hour 30 mins"},
        {{7260, TimeKind::After, 0, L""}, L"Every 2 hours 1 min"},
        {{999 * 3600 + 59 * 60, TimeKind::After, 0, L""}, L"Every 999 hours 59 mins"},
        {{25500, TimeKind::At, 0, L""}, L"Daily at 07:05"},
        {{0, TimeKind::At, 0, L""}, L"Daily at 00:00"},
        {{86340, 3, 0, L""}, L"Daily at 23:59"},
        {{90000, TimeKind::At, 0, L""}, L"Daily at 01:00"},
    };
    for (const Case& c : cases) {
        settings.tasks = {c.task};
        EXPECT_EQ(scheduler.DescribeRepeat({0, 0, 0, L""}), c.text) << c.task.seconds;
    }
    EXPECT_EQ(scheduler.DescribeRepeat({-1, 0, 0, L""}), L"None");
    EXPECT_THROW(scheduler.DescribeRepeat({1, 0, 0, L""}), std::invalid_argument);
}

TEST_F(SchedulerTest, ClockChangesAreJudgedByAbsoluteDueTimes) {
    scheduler.Add(TimeKind::After, 3600, PowerAction::LockWindows, L"", false);
    scheduler.Add(TimeKind::After, 7200, PowerAction::DisplayOff, L"", false);
    toast.shown.clear();

    // Set forward past the first due time (or back from two hours of sleep): performed at once.
    clock.now += 3 * 3600;
    scheduler.Tick();
    EXPECT_EQ(log, (EventLog{L"perform 6", L"perform 4"}));
    EXPECT_TRUE(toast.shown.empty());

    // Set back: the entry waits until the clock reaches its due time again.
    log.clear();
    power.times.clear();
    scheduler.Add(TimeKind::After, 600, PowerAction::LockWindows, L"", false);
    const int64_t due = scheduler.Entries()[0].due;
    TickFor(2);
    clock.now -= 3600;
    TickFor(3600 + 598 - 1);
    EXPECT_TRUE(log.empty());
    TickFor(1);
    EXPECT_EQ(power.times, std::vector<int64_t>{due});
}

TEST_F(SchedulerTest, ClockSetBackDuringConfirmationPerformsOnce) {
    scheduler.Add(TimeKind::After, 60, PowerAction::ShutDown, L"", true);
    confirmation.whileOpen = [&] { clock.now -= 2 * 3600; };
    TickFor(59);
    clock.readsLeft = 1000;
    TickFor(1);
    EXPECT_EQ(log, (EventLog{L"disable", L"confirm 0", L"perform 0", L"enable"}));
    ASSERT_EQ(scheduler.Entries().size(), 1u);
    EXPECT_GT(scheduler.Entries()[0].due, clock.now);
}

TEST_F(SchedulerTest, HugeCountdownsStayFarAway) {
    // 2^32 + 125 seconds: cut to 32 bits it would read as two minutes and warn one minute later.
    const int64_t countdown = (int64_t{1} << 32) + 125;
    scheduler.Add(TimeKind::After, countdown, PowerAction::ShutDown, L"", false);
    EXPECT_EQ(scheduler.Entries()[0].due, clock.now + countdown);
    toast.shown.clear();
    TickFor(300);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(toast.shown.empty());

    // The stored 32-bit interval is the longest one, not a wrapped negative one.
    scheduler.Add(TimeKind::After, int64_t{999999} * 3600, PowerAction::Restart, L"", true);
    ASSERT_EQ(settings.tasks.size(), 1u);
    EXPECT_EQ(settings.tasks[0].seconds, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(scheduler.Entries()[0].due, clock.now + std::numeric_limits<int32_t>::max());
    toast.shown.clear();

    scheduler.Add(TimeKind::After, std::numeric_limits<int64_t>::max(), PowerAction::Sleep, L"", false);
    TickFor(2);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(toast.shown.empty());
}

TEST_F(SchedulerTest, AnnouncementBeyondTheCalendarIsLeftOut) {
    clock.lastYear = 2100;
    scheduler.Add(TimeKind::At, int64_t{1'000'000} * 3600, PowerAction::Sleep, L"", false);
    EXPECT_TRUE(toast.shown.empty());
    EXPECT_EQ(tray.tooltip, L"Tivolan -  Sleep");
}

TEST_F(SchedulerTest, ZeroIntervalTaskRunsOncePerMinute) {
    settings.AddTask({0, TimeKind::After, PowerAction::LockWindows, L""});
    settings.AddTask({-600, TimeKind::After, PowerAction::DisplayOff, L""});
    scheduler.AddStoredTask(0);
    scheduler.AddStoredTask(1);
    TickFor(150);
    EXPECT_EQ(log, (EventLog{L"perform 4", L"perform 6", L"perform 4", L"perform 6"}));
    EXPECT_EQ(power.times.back(), clock.now - 30);
}

TEST_F(SchedulerTest, DailyTaskFiresOnceAcrossTheAutumnNight) {
    clock.SetLocal(2024, 10, 26, 23, 0, 0);
    scheduler.Add(TimeKind::At, 900, PowerAction::LockWindows, L"", true);
    TickFor(26 * 3600 + 3600);
    EXPECT_EQ(power.times, (std::vector<int64_t>{Utc(2024, 10, 26, 22, 15), Utc(2024, 10, 27, 23, 15)}));
    EXPECT_EQ(scheduler.Entries()[0].due, Utc(2024, 10, 28, 23, 15));
}

TEST_F(SchedulerTest, EntryOfAVanishedTaskIsDropped) {
    settings.AddTask({60, TimeKind::After, PowerAction::LockWindows, L""});
    scheduler.AddStoredTask(0);
    scheduler.Add(TimeKind::After, 120, PowerAction::DisplayOff, L"", false);
    settings.RemoveTask(0);
    TickFor(120);
    EXPECT_EQ(log, (EventLog{L"perform 6", L"perform 4"}));
    EXPECT_TRUE(scheduler.Entries().empty());
}

// The scheduler keeps its list in order by placing each new or re-armed entry rather than sorting
// the whole list; this holds it to the order a stable sort gives, under many equal due times.
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

TEST_F(SchedulerTest, AddsAndTicksKeepTheStableOrder) {
    settings.confirm = false;

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

// A window that goes away while the list changes takes itself off the list first; one removed by
// another observer during a notice is not told any more.
TEST_F(SchedulerTest, RemovedObserversAreNotToldEvenDuringANotice) {
    class RemovingObserver : public CScheduleChanged {
      public:
        RemovingObserver(CScheduler& scheduler, CScheduleChanged* victim)
            : m_scheduler(scheduler), m_victim(victim) {}
        void OnScheduleChanged() override {
            ++calls;
            m_scheduler.RemoveObserver(m_victim);
        }
        int calls = 0;

      private:
        CScheduler& m_scheduler;
        CScheduleChanged* m_victim;
    };
    CountingObserver later;
    RemovingObserver remover(scheduler, &later);
    scheduler.AddObserver(&remover);
    scheduler.AddObserver(&later);

    scheduler.Add(TimeKind::After, 3600, PowerAction::LockWindows, L"", false);
    EXPECT_EQ(remover.calls, 1);
    EXPECT_EQ(later.calls, 0) << "removed before its turn";
    EXPECT_EQ(observer.calls, 1);

    scheduler.RemoveObserver(&observer);
    scheduler.RemoveObserver(&remover);
    scheduler.RemoveObserver(&remover);  // twice is harmless
    scheduler.Add(TimeKind::After, 7200, PowerAction::LockWindows, L"", false);
    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(remover.calls, 1);
}
