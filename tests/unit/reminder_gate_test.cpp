#include "checker/core/reminder_gate.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "checker/core/checker_keys.h"
#include "common/platform/memory_registry.h"
#include "tests/unit/fake_local_calendar.h"
#include "tests/unit/registry_fixtures.h"

void PrintTo(GateDecision decision, std::ostream* out) {
    *out << (decision == GateDecision::Pass ? "Pass" : "Hold");
}

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr int64_t kDay = 86400;
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

const CFakeLocalCalendar kCalendar(9 * 3600);

RegistryValue TimeValue(int64_t time) {
    return MakeValue(RegistryType::Binary, LittleEndianBytes(static_cast<uint64_t>(time), 8));
}

struct GateCase {
    const char* name;
    std::optional<RegistryValue> period;
    std::optional<int64_t> checked;
    int64_t now;
    const wchar_t* mode;
    GateDecision expected;
};

bool WroteAnything(const CMemoryRegistry& registry) {
    for (const auto& access : registry.ValueAccesses()) {
        if (access.operation != CMemoryRegistry::ValueOperation::Read)
            return true;
    }
    return false;
}

// Runs the gate on a registry set up by the case and checks what a pass or a hold leaves behind.
void Check(const GateCase& c) {
    SCOPED_TRACE(c.name);
    CMemoryRegistry registry;
    registry.CreateKey(kUser, kCheckerStateKeyPath);
    if (c.period)
        registry.SetValue(kUser, kCheckerStateKeyPath, kPeriodValue, *c.period);
    if (c.checked)
        registry.SetValue(kUser, kCheckerStateKeyPath, kCheckedValue, TimeValue(*c.checked));

    EXPECT_EQ(ReminderGate(registry, kCalendar, c.now, c.mode), c.expected);

    if (c.expected == GateDecision::Pass) {
        EXPECT_EQ(registry.Value(kUser, kCheckerStateKeyPath, kCheckedValue), TimeValue(c.now));
        EXPECT_EQ(registry.Value(kUser, kCheckerStateKeyPath, kPeriodValue), DwordValue(0));
    } else {
        EXPECT_FALSE(WroteAnything(registry)) << "a hold writes nothing";
        EXPECT_EQ(registry.Value(kUser, kCheckerStateKeyPath, kPeriodValue), c.period);
    }
}

const int64_t kNoon = kCalendar.At(2024, 3, 5, 12);

TEST(ReminderGate, NextDayPassesOnAnotherCalendarDayOnly) {
    const GateCase cases[] = {
        {"never checked", std::nullopt, std::nullopt, kNoon, L"auto", GateDecision::Pass},
        {"checked stored as 0", DwordValue(0), 0, kNoon, L"auto", GateDecision::Pass},
        {"earlier the same day", DwordValue(0), kCalendar.At(2024, 3, 5, 0, 0, 1), kNoon, L"auto",
         GateDecision::Hold},
        {"the same day a year before", DwordValue(0), kCalendar.At(2023, 3, 5, 18), kNoon, L"auto",
         GateDecision::Hold},
        {"a second either side of local midnight", DwordValue(0), kCalendar.At(2024, 3, 4, 23, 59, 59),
         kCalendar.At(2024, 3, 5, 0, 0, 1), L"auto", GateDecision::Pass},
        {"the day before", DwordValue(0), kNoon - kDay, kNoon, L"auto", GateDecision::Pass},
        {"clock set back to the same day", DwordValue(0), kNoon + 3600, kNoon, L"auto", GateDecision::Hold},
        {"clock set back to the day before", DwordValue(0), kNoon + kDay, kNoon, L"auto", GateDecision::Pass},
        {"a checked time without a date", DwordValue(0), -kDay, kNoon, L"auto", GateDecision::Pass},
        {"force changes nothing", DwordValue(0), kNoon - 60, kNoon, L"force", GateDecision::Hold},
    };
    for (const GateCase& c : cases)
        Check(c);
}

TEST(ReminderGate, UnknownPeriodsBehaveAsNextDay) {
    const GateCase cases[] = {
        {"4, same day", DwordValue(4), kNoon - 60, kNoon, L"auto", GateDecision::Hold},
        {"4, next day", DwordValue(4), kNoon - kDay, kNoon, L"auto", GateDecision::Pass},
        {"-1, same day", DwordValue(0xFFFFFFFF), kNoon - 60, kNoon, L"auto", GateDecision::Hold},
        {"-1, next day", DwordValue(0xFFFFFFFF), kNoon - kDay, kNoon, L"auto", GateDecision::Pass},
        {"too long to read", QwordValue(3), kNoon - kDay, kNoon, L"auto", GateDecision::Pass},
        {"two bytes of Week", MakeValue(RegistryType::Binary, {1, 0}), kNoon - kDay, kNoon, L"auto",
         GateDecision::Hold},
    };
    for (const GateCase& c : cases)
        Check(c);
}

TEST(ReminderGate, WeekAndMonthCountWholeDays) {
    const GateCase cases[] = {
        {"week, 6 days 23 hours", DwordValue(1), kNoon - 6 * kDay - 23 * 3600, kNoon, L"auto",
         GateDecision::Hold},
        {"week, a second short", DwordValue(1), kNoon - 7 * kDay + 1, kNoon, L"auto", GateDecision::Hold},
        {"week, exactly 7 days", DwordValue(1), kNoon - 7 * kDay, kNoon, L"auto", GateDecision::Pass},
        {"week, never checked", DwordValue(1), std::nullopt, kNoon, L"auto", GateDecision::Pass},
        {"month, 29 days", DwordValue(2), kNoon - 29 * kDay, kNoon, L"auto", GateDecision::Hold},
        {"month, a second short", DwordValue(2), kNoon - 30 * kDay + 1, kNoon, L"auto", GateDecision::Hold},
        {"month, exactly 30 days", DwordValue(2), kNoon - 30 * kDay, kNoon, L"auto", GateDecision::Pass},
        {"week, clock set back", DwordValue(1), kNoon + 10 * kDay, kNoon, L"auto", GateDecision::Hold},
        {"month, clock set back", DwordValue(2), kNoon + 40 * kDay, kNoon, L"auto", GateDecision::Hold},
        // -6.9 days truncates to 0 toward zero, not to -7.
        {"week, clock set back less than a day", DwordValue(1), kNoon + 3600, kNoon, L"auto",
         GateDecision::Hold},
    };
    for (const GateCase& c : cases)
        Check(c);
}

TEST(ReminderGate, NeverHoldsUnlessTheDocumentForcesAMonth) {
    const int64_t monthAgo = kNoon - 30 * kDay;
    const GateCase cases[] = {
        {"auto", DwordValue(3), monthAgo, kNoon, L"auto", GateDecision::Hold},
        {"strict", DwordValue(3), monthAgo, kNoon, L"strict", GateDecision::Hold},
        {"empty mode", DwordValue(3), monthAgo, kNoon, L"", GateDecision::Hold},
        {"never checked", DwordValue(3), std::nullopt, kNoon, L"auto", GateDecision::Hold},
        {"force, 30 days", DwordValue(3), monthAgo, kNoon, L"force", GateDecision::Pass},
        {"FORCE, 30 days", DwordValue(3), monthAgo, kNoon, L"FORCE", GateDecision::Pass},
        {"Force, 29 days", DwordValue(3), kNoon - 29 * kDay, kNoon, L"Force", GateDecision::Hold},
        {"force with a blank", DwordValue(3), monthAgo, kNoon, L"force ", GateDecision::Hold},
        {"forced", DwordValue(3), monthAgo, kNoon, L"forced", GateDecision::Hold},
    };
    for (const GateCase& c : cases)
        Check(c);
}

TEST(ReminderGate, StoredTimesAtTheLimitsDoNotOverflow) {
    const GateCase cases[] = {
        {"week, checked at the minimum", DwordValue(1), kMin, kNoon, L"auto", GateDecision::Pass},
        {"month, checked at the minimum", DwordValue(2), kMin, kNoon, L"auto", GateDecision::Pass},
        {"week, checked at the maximum", DwordValue(1), kMax, kNoon, L"auto", GateDecision::Hold},
        {"week, now at the minimum", DwordValue(1), kNoon, kMin, L"auto", GateDecision::Hold},
        {"month, now at the maximum, checked negative", DwordValue(2), -5, kMax, L"auto", GateDecision::Pass},
        {"next day, checked at the minimum", DwordValue(0), kMin, kNoon, L"auto", GateDecision::Pass},
    };
    for (const GateCase& c : cases)
        Check(c);
}

TEST(ReminderGate, APassWritesCheckedThenPeriodAndLeavesTheRest) {
    CMemoryRegistry registry;
    registry.SetValue(kUser, kCheckerStateKeyPath, kLoadedValue, TimeValue(77));
    registry.SetValue(kUser, kCheckerStateKeyPath, kPeriodValue, DwordValue(3));
    ASSERT_EQ(ReminderGate(registry, kCalendar, kNoon, L"force"), GateDecision::Pass);

    ASSERT_EQ(registry.KeyAccesses().size(), 1u);
    EXPECT_EQ(registry.KeyAccesses()[0].operation, CMemoryRegistry::KeyOperation::Create);
    EXPECT_EQ(registry.KeyAccesses()[0].access, RegistryAccess::AllAccess);
    std::vector<std::wstring> writes;
    for (const auto& access : registry.ValueAccesses()) {
        if (access.operation == CMemoryRegistry::ValueOperation::Write)
            writes.push_back(access.name);
    }
    EXPECT_EQ(writes, (std::vector<std::wstring>{L"checked", L"period"}));
    EXPECT_EQ(registry.Value(kUser, kCheckerStateKeyPath, kLoadedValue), TimeValue(77));
}

TEST(ReminderGate, AKeyThatCannotBeCreatedPassesWithoutReadingOrWriting) {
    CMemoryRegistry registry;
    registry.SetValue(kUser, kCheckerStateKeyPath, kPeriodValue, DwordValue(3));
    registry.FailCreate(true);
    EXPECT_EQ(ReminderGate(registry, kCalendar, kNoon, L"auto"), GateDecision::Pass);
    EXPECT_TRUE(registry.ValueAccesses().empty());
    EXPECT_EQ(registry.Value(kUser, kCheckerStateKeyPath, kPeriodValue), DwordValue(3));
}

TEST(ReminderGate, TheFirstCheckCreatesTheKeyAndTheNextOnTheSameDayHolds) {
    CMemoryRegistry registry;
    EXPECT_EQ(ReminderGate(registry, kCalendar, kNoon, L"auto"), GateDecision::Pass);
    EXPECT_EQ(registry.ValueNames(kUser, kCheckerStateKeyPath),
              (std::vector<std::wstring>{L"checked", L"period"}));
    EXPECT_EQ(ReminderGate(registry, kCalendar, kNoon + 3600, L"auto"), GateDecision::Hold);
    EXPECT_EQ(registry.Value(kUser, kCheckerStateKeyPath, kCheckedValue), TimeValue(kNoon));
    // Week chosen afterwards postpones once; the pass after it is back to NextDay.
    registry.SetValue(kUser, kCheckerStateKeyPath, kPeriodValue, DwordValue(1));
    EXPECT_EQ(ReminderGate(registry, kCalendar, kNoon + 3 * kDay, L"auto"), GateDecision::Hold);
    EXPECT_EQ(ReminderGate(registry, kCalendar, kNoon + 7 * kDay, L"auto"), GateDecision::Pass);
    EXPECT_EQ(ReminderGate(registry, kCalendar, kNoon + 8 * kDay, L"auto"), GateDecision::Pass);
}

TEST(ReminderGate, AFailedWriteOfCheckedStillPasses) {
    CMemoryRegistry registry;
    registry.FailWritesOf(kCheckedValue);
    EXPECT_EQ(ReminderGate(registry, kCalendar, kNoon, L"auto"), GateDecision::Pass);
    EXPECT_EQ(registry.Value(kUser, kCheckerStateKeyPath, kPeriodValue), DwordValue(0));
}

}  // namespace
