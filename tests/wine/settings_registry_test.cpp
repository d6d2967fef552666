#include <windows.h>

#include <gtest/gtest.h>

#include "common/path/file_system.h"
#include "common/platform/memory_registry.h"
#include "common/platform/registry_win.h"
#include "scheduler/core/os_version_win.h"
#include "scheduler/core/run_at_log_on.h"
#include "scheduler/core/run_at_log_on_win.h"
#include "scheduler/core/settings.h"
#include "scheduler/core/settings_win.h"
#include "tests/unit/registry_fixtures.h"
#include "tests/wine/registry_scratch.h"

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;

class SettingsInRealRegistry : public RealRegistryTest {
  protected:
    std::map<std::wstring, RegistryValue> FakeValues() const {
        std::map<std::wstring, RegistryValue> values;
        for (const auto& name : fake.ValueNames(kUser, kSettingsKeyPath))
            values[name] = *fake.Value(kUser, kSettingsKeyPath, name);
        return values;
    }
    // Saves the record into both stores, then checks that both hold the same and load the same.
    void SaveIntoBoth(CSettings& settings, bool withTasks) {
        CSettings copy = settings;
        settings.Save(real, withTasks);
        copy.Save(fake, withTasks);
        EXPECT_EQ(settings.storedTaskCount, copy.storedTaskCount);
        EXPECT_EQ(AllValuesOf(kSettingsKeyPath), FakeValues());

        CSettings fromReal;
        CSettings fromFake;
        fromReal.Load(real, OsVersionCode::Windows7);
        fromFake.Load(fake, OsVersionCode::Windows7);
        ExpectSameFields(fromReal, fromFake);
    }
    CWin32Registry real;
    CMemoryRegistry fake;
};

TEST_F(SettingsInRealRegistry, SaveAndLoadMatchTheFakeStepByStep) {
    CSettings settings = SampleSettings();
    settings.AddTask({3600, 0, 7, L"Tea"});
    settings.AddTask({68700, 1, 0, L""});
    settings.AddTask({INT32_MAX, 0, 8, L"C:\\\uD55C\\app.exe"});
    SaveIntoBoth(settings, true);
    EXPECT_EQ(AllValuesOf(kSettingsKeyPath).at(L"Task").data.size(), 36u);

    settings.RemoveTask(0);
    settings.lang = L"";
    settings.setLang = L"";
    settings.alarmSound = 1;
    SaveIntoBoth(settings, false);
    EXPECT_EQ(AllValuesOf(kSettingsKeyPath).count(L"SoundFile"), 0u);
    EXPECT_EQ(AllValuesOf(kSettingsKeyPath).count(L"Lang"), 0u);

    SaveIntoBoth(settings, true);
    EXPECT_EQ(AllValuesOf(kSettingsKeyPath).count(L"TaskParam2"), 0u);
    settings.tasks.clear();
    SaveIntoBoth(settings, true);
    EXPECT_EQ(AllValuesOf(kSettingsKeyPath).count(L"Task"), 0u);
}

TEST_F(SettingsInRealRegistry, OddValuesLoadLikeInTheFake) {
    const struct {
        const wchar_t* name;
        RegistryValue value;
    } planted[] = {
        {L"Hour1", StringValue(L"5")},
        {L"Min1", MakeValue(RegistryType::Dword, {1, 0, 0, 0, 0})},
        {L"Hour2", DwordValue(4000000)},
        {L"Lang", MakeValue(RegistryType::String, {'k', 0, 'o', 0})},
        {L"SoundFile", StringValue(L"%WINDIR%\\a.wav", RegistryType::ExpandString)},
        {L"Update", DwordValue(5)},
        {L"Task", MakeValue(RegistryType::Binary, std::vector<uint8_t>(30, 1))},
        {L"TaskParam1", MakeValue(RegistryType::String, {'a', 0, 0, 0, 'b', 0, 0, 0})},
    };
    auto key = real.Create(kUser, kSettingsKeyPath, RegistryAccess::ReadWrite);
    ASSERT_TRUE(key);
    for (const auto& p : planted) {
        ASSERT_TRUE(key->Write(p.name, p.value.type, p.value.data.data(), p.value.data.size())) << p.name;
        fake.SetValue(kUser, kSettingsKeyPath, p.name, p.value);
    }
    CSettings fromReal;
    CSettings fromFake;
    fromReal.Load(real, OsVersionCode::Windows7);
    fromFake.Load(fake, OsVersionCode::Windows7);
    ExpectSameFields(fromReal, fromFake);
    EXPECT_EQ(fromReal.setLang, L"ko");
    EXPECT_EQ(fromReal.tasks.size(), 2u);
    EXPECT_EQ(fromReal.tasks[1].parameter, L"a");
}

TEST_F(SettingsInRealRegistry, TheProcessWideRecordIsLoadedOnceOnFirstUse) {
    // No other test of this program touches the process-wide record, so this is its first use.
    CWin32Registry registry;
    CSettings planted;
    planted.hour1 = 7;
    planted.lang = L"el";
    planted.setLang = L"el";
    planted.AddTask({60, 0, 7, L"once"});
    planted.Save(registry, true);

    CSettings& settings = Settings();
    EXPECT_EQ(&settings, &Settings());
    EXPECT_EQ(settings.hour1, 7);
    EXPECT_EQ(settings.setLang, L"el");
    EXPECT_EQ(settings.tasks, planted.tasks);
    EXPECT_GE(GetOsVersionClass(), OsVersionCode::Windows7);

    settings.min1 = 9;
    SaveSettings(false);
    CSettings reloaded;
    reloaded.Load(registry, GetOsVersionClass());
    EXPECT_EQ(reloaded.min1, 9);
    EXPECT_EQ(reloaded.tasks, planted.tasks);
}

using RunEntryInRealRegistry = RealRegistryTest;

TEST_F(RunEntryInRealRegistry, NamesThisProgramWithTheBackgroundSwitchAndGoesAgain) {
    const std::wstring path = GetModuleFilePath();
    ASSERT_FALSE(path.empty());
    EXPECT_FALSE(IsRunAtLogOn());
    SetRunAtLogOn(true);
    const auto values = AllValuesOf(kRunKeyPath);
    ASSERT_EQ(values.count(L"Tivolan"), 1u);
    EXPECT_EQ(values.at(L"Tivolan"), StringValue(L"\"" + path + L"\" /s"));
    EXPECT_TRUE(IsRunAtLogOn());

    SetRunAtLogOn(false);
    EXPECT_EQ(AllValuesOf(kRunKeyPath).count(L"Tivolan"), 0u);
    EXPECT_FALSE(IsRunAtLogOn());
    SetRunAtLogOn(false);
    EXPECT_FALSE(IsRunAtLogOn());
}

}  // namespace
