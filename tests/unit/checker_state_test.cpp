#include "checker/core/checker_state.h"

#include <gtest/gtest.h>

#include "checker/core/checker_keys.h"
#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;

TEST(CheckerState, ReadingOpensReadOnlyAndLeavesAMissingKeyMissing) {
    CMemoryRegistry registry;
    const CCheckerState state(registry);
    EXPECT_EQ(state.LoadedTime(), 0);
    EXPECT_EQ(state.CheckedTime(), 0);
    EXPECT_EQ(state.Period(), ReminderPeriod::NextDay);
    EXPECT_FALSE(registry.KeyExists(kUser, kCheckerStateKeyPath));
    ASSERT_EQ(registry.KeyAccesses().size(), 3u);
    for (const auto& access : registry.KeyAccesses()) {
        EXPECT_EQ(access.operation, CMemoryRegistry::KeyOperation::Open);
        EXPECT_EQ(access.root, kUser);
        EXPECT_EQ(access.path, kCheckerStateKeyPath);
        EXPECT_EQ(access.access, RegistryAccess::Read);
    }
}

TEST(CheckerState, ReadsEachValueByItsName) {
    CMemoryRegistry registry;
    registry.SetValue(kUser, kCheckerStateKeyPath, L"loaded",
                      MakeValue(RegistryType::Binary, LittleEndianBytes(1700000000, 8)));
    registry.SetValue(kUser, kCheckerStateKeyPath, L"checked",
                      MakeValue(RegistryType::Binary, LittleEndianBytes(1600000000, 8)));
    registry.SetValue(kUser, kCheckerStateKeyPath, L"period", DwordValue(2));
    const CCheckerState state(registry);
    EXPECT_EQ(state.LoadedTime(), 1700000000);
    EXPECT_EQ(state.CheckedTime(), 1600000000);
    EXPECT_EQ(state.Period(), ReminderPeriod::Month);
}

TEST(CheckerState, WritingCreatesTheKeyWithAllAccess) {
    CMemoryRegistry registry;
    CCheckerState state(registry);
    EXPECT_TRUE(state.SetLoadedTime(1700000001));
    EXPECT_TRUE(state.SetCheckedTime(-5));
    EXPECT_TRUE(state.SetPeriod(ReminderPeriod::Week));
    EXPECT_EQ(registry.Value(kUser, kCheckerStateKeyPath, L"loaded"),
              MakeValue(RegistryType::Binary, LittleEndianBytes(1700000001, 8)));
    EXPECT_EQ(registry.Value(kUser, kCheckerStateKeyPath, L"checked"),
              MakeValue(RegistryType::Binary, LittleEndianBytes(static_cast<uint64_t>(-5), 8)));
    EXPECT_EQ(registry.Value(kUser, kCheckerStateKeyPath, L"period"), DwordValue(1));
    ASSERT_EQ(registry.KeyAccesses().size(), 3u);
    for (const auto& access : registry.KeyAccesses()) {
        EXPECT_EQ(access.operation, CMemoryRegistry::KeyOperation::Create);
        EXPECT_EQ(access.path, kCheckerStateKeyPath);
        EXPECT_EQ(access.access, 0xF003Fu);
    }
}

TEST(CheckerState, FailedWritesAreReportedAndLeaveNothing) {
    CMemoryRegistry noCreate;
    noCreate.FailCreate(true);
    CCheckerState state(noCreate);
    EXPECT_FALSE(state.SetLoadedTime(1));
    EXPECT_FALSE(state.SetPeriod(ReminderPeriod::Month));
    EXPECT_TRUE(noCreate.ValueAccesses().empty());

    CMemoryRegistry noWrite;
    noWrite.FailWrites(true);
    CCheckerState other(noWrite);
    EXPECT_FALSE(other.SetCheckedTime(1));
    EXPECT_EQ(other.CheckedTime(), 0);
}

TEST(ReminderPeriod, NumbersWithoutAMeaningBehaveAsNextDay) {
    const struct {
        std::optional<uint32_t> stored;
        ReminderPeriod expected;
    } cases[] = {
        {std::nullopt, ReminderPeriod::NextDay},
        {0u, ReminderPeriod::NextDay},
        {1u, ReminderPeriod::Week},
        {2u, ReminderPeriod::Month},
        {3u, ReminderPeriod::Never},
        {4u, ReminderPeriod::NextDay},
        {0xFFFFFFFFu, ReminderPeriod::NextDay},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? static_cast<int64_t>(*c.stored) : -999);
        EXPECT_EQ(ReminderPeriodOf(c.stored), c.expected);
    }
}

TEST(ReminderPeriod, IsReadAsFourBytesWhateverTheType) {
    const struct {
        const char* name;
        RegistryValue value;
        ReminderPeriod expected;
    } cases[] = {
        {"dword", DwordValue(3), ReminderPeriod::Never},
        {"two bytes", MakeValue(RegistryType::Dword, {2, 0}), ReminderPeriod::Month},
        {"one binary byte", MakeValue(RegistryType::Binary, {1}), ReminderPeriod::Week},
        {"high byte set", MakeValue(RegistryType::Dword, {1, 0, 0, 1}), ReminderPeriod::NextDay},
        {"qword is too long", QwordValue(3), ReminderPeriod::NextDay},
        {"text '3' is the number 0x33", MakeValue(RegistryType::String, {'3', 0}), ReminderPeriod::NextDay},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryRegistry registry;
        registry.SetValue(kUser, kCheckerStateKeyPath, L"period", c.value);
        EXPECT_EQ(CCheckerState(registry).Period(), c.expected);
    }
}

}  // namespace
