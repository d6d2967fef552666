#include "scheduler/core/settings.h"

#include <gtest/gtest.h>

#include <functional>

#include "common/platform/memory_registry.h"
#include "scheduler/core/os_version.h"
#include "tests/unit/registry_fixtures.h"

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr uint32_t kXp = OsVersionCode::WindowsXp;

class SettingsLoad : public testing::Test {
  protected:
    void Set(const wchar_t* name, RegistryValue value) {
        registry.SetValue(kUser, kSettingsKeyPath, name, std::move(value));
    }
    CSettings Load(uint32_t osVersionClass = kXp) {
        CSettings settings;
        settings.Load(registry, osVersionClass);
        return settings;
    }
    CMemoryRegistry registry;
};

TEST_F(SettingsLoad, AFreshUserGetsTheDefaults) {
    CSettings dirty = SampleSettings();
    dirty.AddTask({60, 0, 1, L"x"});
    dirty.storedTaskCount = 5;
    dirty.Load(registry, kXp);
    ExpectSameFields(dirty, CSettings());
    EXPECT_EQ(dirty.hour1, 0);
    EXPECT_EQ(dirty.min1, 30);
    EXPECT_EQ(dirty.hour2, 12);
    EXPECT_EQ(dirty.min2, 0);
    EXPECT_EQ(dirty.type, 0);
    EXPECT_EQ(dirty.ampm, 0);
    EXPECT_EQ(dirty.mode, 0);
    EXPECT_TRUE(dirty.confirm);
    EXPECT_FALSE(dirty.forceIfHung);
    EXPECT_EQ(dirty.alarmSound, 1);
    EXPECT_TRUE(dirty.tasks.empty());
    EXPECT_EQ(dirty.ScheduleSeconds(), 1800);

    ASSERT_EQ(registry.KeyAccesses().size(), 1u);
    EXPECT_EQ(registry.KeyAccesses()[0].operation, CMemoryRegistry::KeyOperation::Open);
    EXPECT_EQ(registry.KeyAccesses()[0].path, L"Software\\Tivolan");
    EXPECT_EQ(registry.KeyAccesses()[0].access, 0x20019u);
    EXPECT_FALSE(registry.KeyExists(kUser, kSettingsKeyPath)) << "loading never creates the key";
}

TEST_F(SettingsLoad, AKeyThatCannotBeOpenedGivesTheDefaults) {
    Set(L"Hour1", DwordValue(5));
    registry.FailOpen(true);
    ExpectSameFields(Load(), CSettings());
}

// Each number value: a good value is taken; every other type or size leaves the default.
TEST_F(SettingsLoad, NumbersNeedADwordOfFourBytes) {
    const struct {
        const wchar_t* name;
        std::function<int64_t(const CSettings&)> field;
        int64_t stored;
    } fields[] = {
        {L"Type", [](const CSettings& s) { return s.type; }, 1},
        {L"Hour1", [](const CSettings& s) { return s.hour1; }, 17},
        {L"Min1", [](const CSettings& s) { return s.min1; }, 59},
        {L"AMPM", [](const CSettings& s) { return s.ampm; }, 7},
        {L"Hour2", [](const CSettings& s) { return s.hour2; }, 3},
        {L"Min2", [](const CSettings& s) { return s.min2; }, 44},
        {L"ForceIfHung", [](const CSettings& s) { return s.forceIfHung; }, 1},
        {L"Mode", [](const CSettings& s) { return s.mode; }, -1},
        {L"Confirm", [](const CSettings& s) { return s.confirm; }, 0},
        {L"AlarmSound", [](const CSettings& s) { return s.alarmSound; }, -1},
    };
    const RegistryValue wrong[] = {
        StringValue(L"5"),
        MakeValue(RegistryType::Dword, {5, 0, 0}),
        MakeValue(RegistryType::Dword, {5, 0, 0, 0, 0}),
        MakeValue(RegistryType::Binary, {5, 0, 0, 0}),
        QwordValue(5),
    };
    const CSettings defaults;
    for (const auto& f : fields) {
        registry = CMemoryRegistry();
        Set(f.name, DwordValue(static_cast<uint32_t>(f.stored)));
        EXPECT_EQ(f.field(Load()), f.stored) << f.name;
        for (const auto& value : wrong) {
            Set(f.name, value);
            EXPECT_EQ(f.field(Load()), f.field(defaults)) << f.name << " " << testing::PrintToString(value);
        }
    }
}

TEST_F(SettingsLoad, BooleansAreAnyNonZeroDword) {
    Set(L"ForceIfHung", DwordValue(0x100));
    Set(L"Confirm", DwordValue(0x80000000u));
    const CSettings s = Load();
    EXPECT_TRUE(s.forceIfHung);
    EXPECT_TRUE(s.confirm);
}

TEST_F(SettingsLoad, TextsFollowTheStringRules) {
    const struct {
        RegistryValue value;
        const wchar_t* expected;  // null: the default
    } cases[] = {
        {StringValue(L"C:\\a.wav"), L"C:\\a.wav"},
        {StringValue(L"%WINDIR%\\a.wav", RegistryType::ExpandString), L"%WINDIR%\\a.wav"},
        {MakeValue(RegistryType::String, {'a', 0, 0, 0, 'b', 0}), L"a"},
        {MakeValue(RegistryType::String, {'a', 0, 'b', 0}), L"ab"},
        {MakeValue(RegistryType::String, {'a', 0, 'b'}), nullptr},
        {StringValue(L"a", RegistryType::MultiString), nullptr},
        {DwordValue(0x61), nullptr},
    };
    const struct {
        const wchar_t* name;
        std::function<std::wstring(const CSettings&)> field;
    } fields[] = {
        {L"Lang", [](const CSettings& s) { return s.lang; }},
        {L"SetLang", [](const CSettings& s) { return s.setLang; }},
        {L"SoundFile", [](const CSettings& s) { return s.soundFile; }},
        {L"TaskParam0", [](const CSettings& s) { return s.tasks.at(0).parameter; }},
    };
    for (const auto& f : fields) {
        for (const auto& c : cases) {
            registry = CMemoryRegistry();
            Set(L"Task", MakeValue(RegistryType::Binary, std::vector<uint8_t>(12)));
            Set(f.name, c.value);
            EXPECT_EQ(f.field(Load()), c.expected ? c.expected : L"")
                << f.name << " " << testing::PrintToString(c.value);
        }
    }
}

TEST_F(SettingsLoad, SetLangFallsBackToTheLangJustRead) {
    Set(L"Lang", StringValue(L"ko"));
    EXPECT_EQ(Load().setLang, L"ko");
    Set(L"SetLang", DwordValue(1));
    EXPECT_EQ(Load().setLang, L"ko");
    Set(L"SetLang", StringValue(L""));
    EXPECT_EQ(Load().setLang, L"") << "an empty choice is a choice";
    Set(L"SetLang", StringValue(L"el"));
    EXPECT_EQ(Load().setLang, L"el");
    EXPECT_EQ(Load().lang, L"ko");
}

TEST_F(SettingsLoad, UpdateNeedsAQwordOfEightBytes) {
    const struct {
        RegistryValue value;
        int64_t expected;
    } cases[] = {
        {QwordValue(1700000000), 1700000000},
        {QwordValue(0xFFFFFFFFFFFFFFFFu), -1},
        {DwordValue(1700000000), 0},
        {MakeValue(RegistryType::Qword, {1, 2, 3, 4}), 0},
        {MakeValue(RegistryType::Qword, std::vector<uint8_t>(9, 1)), 0},
        {MakeValue(RegistryType::Binary, std::vector<uint8_t>(8, 1)), 0},
    };
    for (const auto& c : cases) {
        Set(L"Update", c.value);
        EXPECT_EQ(Load().lastUpdateCheck, c.expected) << testing::PrintToString(c.value);
    }
}

TEST_F(SettingsLoad, TasksAreWholeTwelveByteRecordsOfAnyType) {
    const std::vector<uint8_t> records = {
        0x10, 0x0E, 0,    0,    0, 0, 0, 0, 7,    0,    0,    0,     // 3600 s, After, Alarm
        0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 8,    0,    0,    0,     // INT32_MAX, At, Run
        0xFE, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,  // negatives kept as stored
    };
    const TaskRecord all[] = {{3600, 0, 7, L"Wake up"}, {INT32_MAX, 1, 8, L""}, {-2, 2, -1, L"third"}};
    Set(L"TaskParam0", StringValue(L"Wake up"));
    Set(L"TaskParam2", StringValue(L"third"));
    Set(L"TaskParam3", StringValue(L"beyond the list"));

    const struct {
        uint32_t type;
        size_t bytes;
        size_t tasks;
    } cases[] = {
        {RegistryType::Binary, 0, 0},  {RegistryType::Binary, 11, 0}, {RegistryType::Binary, 12, 1},
        {RegistryType::Binary, 30, 2}, {RegistryType::Binary, 36, 3}, {RegistryType::String, 24, 2},
        {RegistryType::Dword, 12, 1},
    };
    for (const auto& c : cases) {
        Set(L"Task", MakeValue(c.type, std::vector<uint8_t>(records.begin(), records.begin() + c.bytes)));
        const CSettings s = Load();
        EXPECT_EQ(s.tasks, std::vector<TaskRecord>(all, all + c.tasks)) << c.bytes << " bytes";
        EXPECT_EQ(s.storedTaskCount, c.tasks);
    }
}

TEST_F(SettingsLoad, ForceIfHungNeedsWindows2000) {
    Set(L"ForceIfHung", DwordValue(1));
    const std::pair<uint32_t, bool> cases[] = {
        {0, false},       {1, false},      {0x10000, false}, {0x20005, false},
        {0x40001, false}, {0x40002, true}, {0x40006, true},  {0x40009, true},
    };
    for (const auto& [code, expected] : cases)
        EXPECT_EQ(Load(code).forceIfHung, expected) << std::hex << code;
}

TEST_F(SettingsLoad, ReadsInTheDocumentedOrderAndOnlyReads) {
    Set(L"Task", MakeValue(RegistryType::Binary, std::vector<uint8_t>(24)));
    Load();
    const std::vector<std::wstring> expected = {
        L"Type",        L"Hour1",     L"Min1",    L"AMPM",       L"Hour2",      L"Min2",
        L"ForceIfHung", L"Mode",      L"Confirm", L"Lang",       L"SetLang",    L"Update",
        L"AlarmSound",  L"SoundFile", L"Task",    L"TaskParam0", L"TaskParam1",
    };
    std::vector<std::wstring> names;
    for (const auto& access : registry.ValueAccesses()) {
        EXPECT_EQ(access.operation, CMemoryRegistry::ValueOperation::Read) << access.name;
        names.push_back(access.name);
    }
    EXPECT_EQ(names, expected);
}

// F8: hours as the registry may hold them are not clamped, so the countdown is computed in 64 bits
// (the scheduler clamps it where it becomes a task's 32-bit seconds).
TEST_F(SettingsLoad, HugeStoredHoursNeitherOverflowNorWrap) {
    Set(L"Hour1", DwordValue(4000000));
    Set(L"Min1", DwordValue(1));
    CSettings s = Load();
    EXPECT_EQ(s.ScheduleSeconds(), 14400000060);
    Set(L"Hour1", DwordValue(0x80000000u));
    s = Load();
    EXPECT_EQ(s.ScheduleSeconds(), int64_t{INT32_MIN} * 3600 + 60);
}

}  // namespace
