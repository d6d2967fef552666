#include "scheduler/core/settings.h"

#include <gtest/gtest.h>

#include <map>

#include "common/platform/memory_registry.h"
#include "scheduler/core/os_version.h"
#include "tests/unit/registry_fixtures.h"

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
using Op = CMemoryRegistry::ValueOperation;

class SettingsSave : public testing::Test {
  protected:
    std::optional<RegistryValue> Stored(const std::wstring& name) const {
        return registry.Value(kUser, kSettingsKeyPath, name);
    }
    std::map<std::wstring, RegistryValue> AllStored() const {
        std::map<std::wstring, RegistryValue> values;
        for (const auto& name : registry.ValueNames(kUser, kSettingsKeyPath))
            values[name] = *Stored(name);
        return values;
    }
    // The writes and deletes of the last save, in order, as "W:Name" and "D:Name".
    std::vector<std::wstring> Changes() const {
        std::vector<std::wstring> changes;
        for (const auto& access : registry.ValueAccesses()) {
            if (access.operation != Op::Read)
                changes.push_back((access.operation == Op::Write ? L"W:" : L"D:") + access.name);
        }
        return changes;
    }
    CMemoryRegistry registry;
};

TEST_F(SettingsSave, WritesEveryValueByteExactInOrder) {
    CSettings s = SampleSettings();
    s.mode = -1;
    s.Save(registry, false);

    ASSERT_EQ(registry.KeyAccesses().size(), 1u);
    EXPECT_EQ(registry.KeyAccesses()[0].operation, CMemoryRegistry::KeyOperation::Create);
    EXPECT_EQ(registry.KeyAccesses()[0].access, 0x2001Fu);
    const std::map<std::wstring, RegistryValue> expected = {
        {L"Type", MakeValue(RegistryType::Dword, {1, 0, 0, 0})},
        {L"Hour1", MakeValue(RegistryType::Dword, {2, 0, 0, 0})},
        {L"Min1", MakeValue(RegistryType::Dword, {45, 0, 0, 0})},
        {L"AMPM", MakeValue(RegistryType::Dword, {1, 0, 0, 0})},
        {L"Hour2", MakeValue(RegistryType::Dword, {7, 0, 0, 0})},
        {L"Min2", MakeValue(RegistryType::Dword, {5, 0, 0, 0})},
        {L"ForceIfHung", MakeValue(RegistryType::Dword, {1, 0, 0, 0})},
        {L"Mode", MakeValue(RegistryType::Dword, {0xFF, 0xFF, 0xFF, 0xFF})},
        {L"Confirm", MakeValue(RegistryType::Dword, {0, 0, 0, 0})},
        {L"Lang", MakeValue(RegistryType::String, {'k', 0, 'o', 0, 0, 0})},
        {L"SetLang", MakeValue(RegistryType::String, {'e', 0, 'l', 0, 0, 0})},
        {L"Update", MakeValue(RegistryType::Qword, {0x9A, 0x78, 0x56, 0x34, 0x12, 0, 0, 0})},
        {L"AlarmSound", MakeValue(RegistryType::Dword, {0xFF, 0xFF, 0xFF, 0xFF})},
        {L"SoundFile", StringValue(L"C:\\Sounds\\Ring.wav")},
    };
    EXPECT_EQ(AllStored(), expected);
    const std::vector<std::wstring> order = {
        L"W:Type", L"W:Hour1",   L"W:Min1", L"W:AMPM",    L"W:Hour2",  L"W:Min2",       L"W:ForceIfHung",
        L"W:Mode", L"W:Confirm", L"W:Lang", L"W:SetLang", L"W:Update", L"W:AlarmSound", L"W:SoundFile",
    };
    EXPECT_EQ(Changes(), order);
}

TEST_F(SettingsSave, EmptyOrRedundantTextsAreDeleted) {
    const struct {
        const wchar_t* lang;
        const wchar_t* setLang;
        int32_t alarmSound;
        const wchar_t* soundFile;
        std::optional<RegistryValue> langValue, setLangValue, soundValue;
    } cases[] = {
        {L"", L"", -1, L"", std::nullopt, std::nullopt, std::nullopt},
        {L"ko", L"ko", 1, L"C:\\a.wav", StringValue(L"ko"), std::nullopt, std::nullopt},
        {L"ko", L"", 0, L"C:\\a.wav", StringValue(L"ko"), MakeValue(RegistryType::String, {0, 0}),
         std::nullopt},
        {L"", L"el", -1, L"C:\\a.wav", std::nullopt, StringValue(L"el"), StringValue(L"C:\\a.wav")},
        // Exact comparison: another case is another choice.
        {L"ko", L"KO", -1, L"", StringValue(L"ko"), StringValue(L"KO"), std::nullopt},
    };
    for (const auto& c : cases) {
        registry = CMemoryRegistry();
        for (const wchar_t* name : {L"Lang", L"SetLang", L"SoundFile"})
            registry.SetValue(kUser, kSettingsKeyPath, name, StringValue(L"old"));
        CSettings s;
        s.lang = c.lang;
        s.setLang = c.setLang;
        s.alarmSound = c.alarmSound;
        s.soundFile = c.soundFile;
        s.Save(registry, false);
        EXPECT_EQ(Stored(L"Lang"), c.langValue) << c.lang << "/" << c.setLang;
        EXPECT_EQ(Stored(L"SetLang"), c.setLangValue) << c.lang << "/" << c.setLang;
        EXPECT_EQ(Stored(L"SoundFile"), c.soundValue) << c.alarmSound << " " << c.soundFile;
        // The record itself is never touched by a save.
        EXPECT_EQ(s.soundFile, c.soundFile);
    }
}

TEST_F(SettingsSave, TheListIsWrittenOnlyWhenAsked) {
    registry.SetValue(kUser, kSettingsKeyPath, L"Task", MakeValue(RegistryType::Binary, {1}));
    CSettings s;
    s.AddTask({60, 0, 7, L"x"});
    s.Save(registry, false);
    EXPECT_EQ(Stored(L"Task"), MakeValue(RegistryType::Binary, {1}));
    EXPECT_FALSE(Stored(L"TaskParam0"));
    EXPECT_EQ(s.storedTaskCount, 0u);
}

TEST_F(SettingsSave, TasksAreTwelveLittleEndianBytesEachWithTheirParameters) {
    CSettings s;
    s.AddTask({3600, 0, 7, L"Tea"});
    s.AddTask({-1, 1, 0, L""});
    s.AddTask({68700, 1, 8, L"C:\\app.exe"});
    registry.SetValue(kUser, kSettingsKeyPath, L"TaskParam1", StringValue(L"stale"));
    s.Save(registry, true);

    EXPECT_EQ(Stored(L"Task"),
              MakeValue(RegistryType::Binary, {0x10, 0x0E, 0,    0,    0, 0, 0, 0, 7, 0, 0, 0,  //
                                               0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0,  //
                                               0x5C, 0x0C, 0x01, 0,    1, 0, 0, 0, 8, 0, 0, 0}));
    EXPECT_EQ(Stored(L"TaskParam0"), StringValue(L"Tea"));
    EXPECT_FALSE(Stored(L"TaskParam1"));
    EXPECT_EQ(Stored(L"TaskParam2"), StringValue(L"C:\\app.exe"));
    EXPECT_EQ(s.storedTaskCount, 3u);
    const std::vector<std::wstring> changes = Changes();
    ASSERT_GE(changes.size(), 14u);
    const std::vector<std::wstring> taskChanges(changes.begin() + 14, changes.end());
    EXPECT_EQ(taskChanges,
              (std::vector<std::wstring>{L"W:TaskParam0", L"D:TaskParam1", L"W:TaskParam2", L"W:Task"}));
}

TEST_F(SettingsSave, RemovingATaskMovesTheParametersAndDeletesTheStaleOne) {
    const struct {
        const wchar_t* first;
        const wchar_t* third;
    } cases[] = {{L"one", L"three"}, {L"", L"three"}, {L"one", L""}};
    for (const auto& c : cases) {
        registry = CMemoryRegistry();
        CSettings s;
        s.AddTask({60, 0, 7, c.first});
        s.AddTask({120, 0, 7, L"two"});
        s.AddTask({180, 0, 8, c.third});
        s.Save(registry, true);
        CSettings loaded;
        loaded.Load(registry, OsVersionCode::Windows7);
        ASSERT_EQ(loaded.storedTaskCount, 3u);
        loaded.RemoveTask(1);
        loaded.Save(registry, true);

        EXPECT_EQ(Stored(L"Task")->data.size(), 24u);
        const auto param = [](const wchar_t* text) {
            return *text ? std::optional<RegistryValue>(StringValue(text)) : std::nullopt;
        };
        EXPECT_EQ(Stored(L"TaskParam0"), param(c.first));
        EXPECT_EQ(Stored(L"TaskParam1"), param(c.third));
        EXPECT_FALSE(Stored(L"TaskParam2"));
        EXPECT_EQ(loaded.storedTaskCount, 2u);
        CSettings reloaded;
        reloaded.Load(registry, OsVersionCode::Windows7);
        EXPECT_EQ(reloaded.tasks, loaded.tasks);
    }
}

TEST_F(SettingsSave, AnEmptyListDeletesTaskAndEveryStoredParameter) {
    CSettings s;
    for (int i = 0; i < 3; ++i)
        s.AddTask({60, 0, 7, L"p"});
    s.Save(registry, true);
    registry.SetValue(kUser, kSettingsKeyPath, L"TaskParam3", StringValue(L"beyond the count"));
    s.tasks.clear();
    registry.ClearLogs();
    s.Save(registry, true);
    const std::vector<std::wstring> changes = Changes();
    ASSERT_GE(changes.size(), 14u);
    const std::vector<std::wstring> taskChanges(changes.begin() + 14, changes.end());
    EXPECT_EQ(taskChanges,
              (std::vector<std::wstring>{L"D:Task", L"D:TaskParam0", L"D:TaskParam1", L"D:TaskParam2"}));
    EXPECT_FALSE(Stored(L"Task"));
    EXPECT_EQ(Stored(L"TaskParam3"), StringValue(L"beyond the count"))
        << "only what the count covers is known";
    EXPECT_EQ(s.storedTaskCount, 0u);
}

TEST_F(SettingsSave, NothingIsWrittenWithoutTheKey) {
    registry.FailCreate(true);
    CSettings s = SampleSettings();
    s.AddTask({60, 0, 7, L"x"});
    s.storedTaskCount = 4;
    s.Save(registry, true);
    EXPECT_TRUE(registry.ValueAccesses().empty());
    EXPECT_FALSE(registry.KeyExists(kUser, kSettingsKeyPath));
    EXPECT_EQ(s.storedTaskCount, 4u);
}

TEST_F(SettingsSave, FailedWritesChangeNothingInMemoryAndKeepStaleParametersKnown) {
    CSettings s = SampleSettings();
    for (int i = 0; i < 3; ++i)
        s.AddTask({60, 0, 7, L"p"});
    s.Save(registry, true);
    const CSettings before = s;

    s.RemoveTask(2);
    s.RemoveTask(1);
    registry.FailWritesOf(L"TaskParam2");
    s.Save(registry, true);
    EXPECT_EQ(Stored(L"TaskParam1"), std::nullopt);
    EXPECT_EQ(Stored(L"TaskParam2"), StringValue(L"p")) << "the failed delete";
    EXPECT_EQ(s.storedTaskCount, 3u) << "so that the next save tries again";

    registry = CMemoryRegistry();
    registry.FailWrites(true);
    CSettings all = before;
    all.Save(registry, true);
    ExpectSameFields(all, before);
    EXPECT_TRUE(registry.ValueNames(kUser, kSettingsKeyPath).empty());
}

TEST_F(SettingsSave, WhatIsSavedLoadsBack) {
    CSettings s = SampleSettings();
    s.AddTask({INT32_MAX, 0, 7, L"\uD55C\uAD6D\uC5B4 \U0001F600"});
    s.AddTask({INT32_MIN, 1, 8, L""});
    s.Save(registry, true);
    CSettings loaded;
    loaded.Load(registry, OsVersionCode::Windows7);
    ExpectSameFields(loaded, s);
}

TEST(ScheduleSeconds, CountdownOrClockTimeAfterMidnight) {
    const struct {
        int32_t type, hour1, min1, hour2, min2, ampm;
        int64_t expected;
    } cases[] = {
        {0, 0, 30, 12, 0, 0, 1800}, {0, 999, 59, 0, 0, 0, 3599940}, {0, 1, 0, 0, 0, 1, 3600},
        {1, 0, 0, 12, 15, 0, 900},  {1, 0, 0, 12, 15, 1, 44100},    {1, 0, 0, 7, 5, 1, 68700},
        {1, 0, 0, 7, 5, 0, 25500},  {1, 0, 0, 11, 59, 1, 86340},    {1, 0, 0, 12, 0, 0, 0},
        {1, 5, 5, 1, 0, 7, 46800},  {-1, 5, 5, 1, 0, 0, 3600},      {2, 0, 0, 12, 0, 1, 43200},
    };
    for (const auto& c : cases) {
        CSettings s;
        s.type = c.type;
        s.hour1 = c.hour1;
        s.min1 = c.min1;
        s.hour2 = c.hour2;
        s.min2 = c.min2;
        s.ampm = c.ampm;
        EXPECT_EQ(s.ScheduleSeconds(), c.expected)
            << c.type << " " << c.hour2 << ":" << c.min2 << " " << c.ampm;
    }
}

TEST(TaskList, AppendsRemovesAndRejectsBadIndexes) {
    CSettings s;
    EXPECT_EQ(s.AddTask({1, 0, 0, L"a"}), 0u);
    EXPECT_EQ(s.AddTask({2, 0, 0, L"b"}), 1u);
    EXPECT_EQ(s.AddTask({3, 0, 0, L"c"}), 2u);
    s.RemoveTask(1);
    ASSERT_EQ(s.TaskCount(), 2u);
    EXPECT_EQ(s.Task(0).parameter, L"a");
    EXPECT_EQ(s.Task(1).parameter, L"c");
    for (const size_t bad : {size_t{2}, size_t{3}, SIZE_MAX}) {
        EXPECT_THROW(s.RemoveTask(bad), std::invalid_argument) << bad;
        EXPECT_THROW(s.Task(bad), std::invalid_argument) << bad;
    }
    EXPECT_EQ(s.TaskCount(), 2u);
    s.RemoveTask(0);
    s.RemoveTask(0);
    EXPECT_THROW(s.RemoveTask(0), std::invalid_argument);
    EXPECT_EQ(s.AddTask({4, 0, 0, L"d"}), 0u);
}

}  // namespace
