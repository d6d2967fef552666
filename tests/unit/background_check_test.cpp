#include "checker/core/background_check.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "checker/core/checker_keys.h"
#include "common/platform/memory_registry.h"
#include "tests/unit/fake_local_calendar.h"
#include "tests/unit/registry_fixtures.h"

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;

const CFakeLocalCalendar kCalendar(3600);
const int64_t kStart = kCalendar.At(2024, 6, 10, 9, 30);

RegistryValue TimeValue(int64_t time) {
    return MakeValue(RegistryType::Binary, LittleEndianBytes(static_cast<uint64_t>(time), 8));
}

// Counts the keys that are open at any moment, over an in-memory registry.
class CCountingRegistry : public IRegistry {
  public:
    std::unique_ptr<IRegistryKey> Open(RegistryRoot root, std::wstring_view path, uint32_t access) override {
        return Track(memory.Open(root, path, access));
    }
    std::unique_ptr<IRegistryKey> Create(RegistryRoot root,
                                         std::wstring_view path,
                                         uint32_t access) override {
        return Track(memory.Create(root, path, access));
    }

    CMemoryRegistry memory;
    int openKeys = 0;

  private:
    class CKey : public IRegistryKey {
      public:
        CKey(std::unique_ptr<IRegistryKey> key, int& open) : m_key(std::move(key)), m_open(open) { ++m_open; }
        ~CKey() override { --m_open; }
        std::optional<RegistryValue> Read(std::wstring_view name) const override { return m_key->Read(name); }
        bool Write(std::wstring_view name, uint32_t type, const uint8_t* data, size_t size) override {
            return m_key->Write(name, type, data, size);
        }
        bool Delete(std::wstring_view name) override { return m_key->Delete(name); }

      private:
        std::unique_ptr<IRegistryKey> m_key;
        int& m_open;
    };

    std::unique_ptr<IRegistryKey> Track(std::unique_ptr<IRegistryKey> key) {
        if (!key)
            return nullptr;
        return std::make_unique<CKey>(std::move(key), openKeys);
    }
};

// One run of the check with every service recorded.
struct Scenario {
    bool uninstallEntry = true;
    int abortAfterSleeps = -1;  // -1: never during the pause
    bool abortAfterPause = false;
    bool fetchSucceeds = true;
    const wchar_t* mode = L"auto";
    int32_t offeredMajor = 5;
    int32_t offeredMinor = 0;
    double ratio = 0.5;
    bool drawWins = true;
    std::optional<int64_t> checked = std::nullopt;  // "checked" before the run
};

struct Outcome {
    bool announced = false;
    BackgroundCheckResult result;
    int sleeps = 0;
    uint32_t sleptMilliseconds = 0;
    int clockReads = 0;
    int fetches = 0;
    int keysOpenDuringFetch = -1;
    std::optional<InstalledVersion> fetchedWith;
    std::vector<double> draws;
    int keysOpenAfterwards = 0;
    bool machineReadIn32BitView = true;  // every HKEY_LOCAL_MACHINE access
    std::optional<RegistryValue> loaded, checked, period;
    bool stateKeyExists = false;
};

Outcome RunCheck(const Scenario& s) {
    CCountingRegistry registry;
    if (s.uninstallEntry) {
        registry.memory.SetValue(kMachine, kUninstallKeyPath, L"VersionMajor", DwordValue(4));
        registry.memory.SetValue(kMachine, kUninstallKeyPath, L"VersionMinor", DwordValue(1));
        registry.memory.SetValue(kMachine, kUninstallKeyPath, L"VersionSpec", StringValue(L"Full"));
        registry.memory.SetValue(kMachine, kUninstallKeyPath, L"DisplayVersion", StringValue(L"4.1.2"));
    }
    if (s.checked)
        registry.memory.SetValue(kUser, kCheckerStateKeyPath, kCheckedValue, TimeValue(*s.checked));

    Outcome out;
    int64_t clock = kStart;
    BackgroundCheckServices services{
        registry,
        kCalendar,
        [&] {
            ++out.clockReads;
            return clock++;
        },
        [&](uint32_t milliseconds) {
            ++out.sleeps;
            out.sleptMilliseconds += milliseconds;
        },
        [&] {
            if (out.fetches > 0)
                return s.abortAfterPause;
            return s.abortAfterSleeps >= 0 && out.sleeps >= s.abortAfterSleeps;
        },
        [&](CVersionInfo& info, const InstalledVersion& installed) {
            ++out.fetches;
            out.keysOpenDuringFetch = registry.openKeys;
            out.fetchedWith = installed;
            if (!s.fetchSucceeds)
                return false;
            info.mode = s.mode;
            info.major = s.offeredMajor;
            info.minor = s.offeredMinor;
            info.display = L"offered";
            info.ratio = s.ratio;
            return true;
        },
        [&](double ratio) {
            out.draws.push_back(ratio);
            return s.drawWins;
        },
    };
    out.announced = RunBackgroundCheck(services, out.result);
    out.keysOpenAfterwards = registry.openKeys;
    for (const CMemoryRegistry::KeyAccess& access : registry.memory.KeyAccesses()) {
        if (access.root == kMachine)
            out.machineReadIn32BitView &= access.access == (RegistryAccess::Read | RegistryAccess::View32);
    }
    out.loaded = registry.memory.Value(kUser, kCheckerStateKeyPath, kLoadedValue);
    out.checked = registry.memory.Value(kUser, kCheckerStateKeyPath, kCheckedValue);
    out.period = registry.memory.Value(kUser, kCheckerStateKeyPath, kPeriodValue);
    out.stateKeyExists = registry.memory.KeyExists(kUser, kCheckerStateKeyPath);
    return out;
}

TEST(BackgroundCheck, EndsBeforeTheRequestWithoutAnUninstallEntryOrWhenAborted) {
    struct Case {
        const char* name;
        Scenario scenario;
        int sleeps;
        bool textsRead;
    } const cases[] = {
        {"no uninstall entry", {.uninstallEntry = false}, 0, false},
        {"aborted after the first step", {.abortAfterSleeps = 1}, 1, false},
        {"aborted half-way", {.abortAfterSleeps = 50}, 50, false},
        {"aborted at the last step", {.abortAfterSleeps = 100}, 100, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome out = RunCheck(c.scenario);
        EXPECT_FALSE(out.announced);
        EXPECT_EQ(out.sleeps, c.sleeps);
        EXPECT_EQ(out.fetches, 0);
        EXPECT_EQ(out.clockReads, 0);
        EXPECT_FALSE(out.stateKeyExists) << "nothing written";
        EXPECT_TRUE(out.result.installedDisplay.empty());
        EXPECT_EQ(out.keysOpenAfterwards, 0);
    }
}

TEST(BackgroundCheck, WaitsOneSecondInShortStepsAndAsksWithTheInstalledVersion) {
    const Outcome out = RunCheck({});
    EXPECT_EQ(out.sleeps, 100);
    EXPECT_EQ(out.sleptMilliseconds, 1000u);
    ASSERT_EQ(out.fetches, 1);
    EXPECT_EQ(out.fetchedWith, (InstalledVersion{4, 1, L"Full", L"4.1.2"}));
    EXPECT_EQ(out.keysOpenDuringFetch, 0) << "the uninstall entry is closed before the request";
    EXPECT_EQ(out.keysOpenAfterwards, 0);
    EXPECT_EQ(out.clockReads, 1) << "one time for every stamp";
}

TEST(BackgroundCheck, EachSilentEndAfterTheFetchWritesOnlyWhatItReached) {
    const int64_t earlierToday = kCalendar.At(2024, 6, 10, 0, 5);
    const int64_t yesterday = kCalendar.At(2024, 6, 9, 23, 59);
    struct Case {
        const char* name;
        Scenario scenario;
        bool loadedWritten;
        bool drawn;
        std::optional<int64_t> checkedAfter;  // what "checked" holds afterwards
    } const cases[] = {
        {"fetch fails", {.fetchSucceeds = false}, false, false, std::nullopt},
        {"mode manual", {.mode = L"manual"}, true, false, std::nullopt},
        {"mode empty", {.mode = L""}, true, false, std::nullopt},
        {"roll-out lost", {.drawWins = false}, true, true, std::nullopt},
        {"aborted during the request", {.abortAfterPause = true}, true, true, std::nullopt},
        {"gate holds", {.checked = earlierToday}, true, true, earlierToday},
        {"not newer", {.offeredMajor = 4, .checked = yesterday}, true, true, kStart},
        {"strict but equal", {.mode = L"STRICT", .offeredMajor = 4, .offeredMinor = 1}, true, true, kStart},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome out = RunCheck(c.scenario);
        EXPECT_FALSE(out.announced);
        EXPECT_EQ(out.fetches, 1);
        EXPECT_EQ(out.result.installedDisplay, L"4.1.2") << "read before the request";
        EXPECT_EQ(out.result.installedSpec, L"Full");
        if (c.loadedWritten)
            EXPECT_EQ(out.loaded, TimeValue(kStart));
        else
            EXPECT_FALSE(out.stateKeyExists) << "nothing written";
        EXPECT_EQ(out.draws.size(), c.drawn ? 1u : 0u);
        if (c.checkedAfter)
            EXPECT_EQ(out.checked, TimeValue(*c.checkedAfter));
        else
            EXPECT_EQ(out.checked, std::nullopt);
        if (c.checkedAfter == kStart)
            EXPECT_EQ(out.period, DwordValue(0)) << "the gate passed";
        else
            EXPECT_EQ(out.period, std::nullopt);
        EXPECT_EQ(out.keysOpenAfterwards, 0);
    }
}

TEST(BackgroundCheck, ANewerVersionThroughEveryRuleIsAnnounced) {
    struct Case {
        const char* name;
        Scenario scenario;
    } const cases[] = {
        {"auto, never checked", {}},
        {"force, checked yesterday", {.mode = L"Force", .checked = kCalendar.At(2024, 6, 9, 12)}},
        {"strict and older", {.mode = L"strict", .offeredMajor = 3}},
        {"ratio above one", {.ratio = 2.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome out = RunCheck(c.scenario);
        EXPECT_TRUE(out.announced);
        EXPECT_EQ(out.result.info.display, L"offered") << "the document stays with the worker";
        EXPECT_EQ(out.result.installedDisplay, L"4.1.2");
        EXPECT_EQ(out.result.installedSpec, L"Full");
        ASSERT_EQ(out.draws.size(), 1u);
        EXPECT_EQ(out.draws[0], c.scenario.ratio) << "the document's own ratio";
        EXPECT_EQ(out.loaded, TimeValue(kStart));
        EXPECT_EQ(out.checked, TimeValue(kStart));
        EXPECT_EQ(out.period, DwordValue(0));
        EXPECT_EQ(out.keysOpenAfterwards, 0);
        EXPECT_TRUE(out.machineReadIn32BitView) << "where the pack's 32-bit installer writes";
    }
}

}  // namespace
