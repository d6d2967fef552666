// The checker's state, installed version, reminder gate and log-on registration against the real
// (Wine) registry. Every test removes what it wrote: HKCU\Software\Quillpack\Update, the pack's
// uninstall entry and both "qpchk" Run values.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "checker/core/checker_keys.h"
#include "checker/core/checker_state.h"
#include "checker/core/crt_local_calendar.h"
#include "checker/core/installed_version.h"
#include "checker/core/reminder_gate.h"
#include "checker/core/run_at_logon_win.h"
#include "common/platform/registry_win.h"
#include "tests/unit/fake_local_calendar.h"
#include "tests/wine/test_support.h"

namespace {

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
};

// The value exactly as the registry keeps it (RegQueryValueExW adds no terminator); nothing when it
// is missing.
std::optional<RawValue> Raw(HKEY root, const wchar_t* path, const wchar_t* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS && size != 0) {
        value.data.resize(size);
        status = ::RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
        value.data.resize(size);
    }
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void SetRaw(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, std::vector<uint8_t> data) {
    ASSERT_EQ(::RegSetKeyValueW(root, path, name, type, data.data(), static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
}

std::vector<uint8_t> LittleEndian(uint64_t value, size_t size) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < size; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return bytes;
}

std::vector<uint8_t> Utf16WithNul(const std::wstring& text) {
    const auto* first = reinterpret_cast<const uint8_t*>(text.c_str());
    return std::vector<uint8_t>(first, first + (text.size() + 1) * sizeof(wchar_t));
}

void DeleteValue(HKEY root, const wchar_t* path, const wchar_t* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key, name);
        ::RegCloseKey(key);
    }
}

void RemoveCheckerFromRegistry() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kCheckerStateKeyPath);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kCheckerStateKeyPath);
    for (const wchar_t* uninstall : {kUninstallKeyPath, kUninstallKeyPath32}) {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, uninstall);
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, uninstall);
    }
    DeleteValue(HKEY_CURRENT_USER, kCheckerRunKeyPath, kCheckerRunValue);
    DeleteValue(HKEY_LOCAL_MACHINE, kCheckerRunKeyPath, kCheckerRunValue);
    DeleteValue(HKEY_LOCAL_MACHINE, kRunKeyPath32, kCheckerRunValue);
}

class CheckerStateWinTest : public ::testing::Test {
  protected:
    void SetUp() override { RemoveCheckerFromRegistry(); }
    void TearDown() override { RemoveCheckerFromRegistry(); }

    CWin32Registry m_registry;
};

TEST_F(CheckerStateWinTest, StoredTimesAreEightBinaryBytesAndRoundTrip) {
    CCheckerState state(m_registry);
    EXPECT_EQ(state.LoadedTime(), 0);
    EXPECT_EQ(state.CheckedTime(), 0);
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kLoadedValue), std::nullopt)
        << "reading creates nothing";

    const int64_t times[] = {1700000000, -2, INT64_MIN};
    for (const int64_t time : times) {
        SCOPED_TRACE(time);
        ASSERT_TRUE(state.SetLoadedTime(time));
        ASSERT_TRUE(state.SetCheckedTime(time + 1));
        const auto loaded = Raw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kLoadedValue);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->type, static_cast<DWORD>(REG_BINARY));
        EXPECT_EQ(loaded->data, LittleEndian(static_cast<uint64_t>(time), 8));
        EXPECT_EQ(state.LoadedTime(), time);
        EXPECT_EQ(state.CheckedTime(), time + 1);
    }

    SetRaw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kCheckedValue, REG_BINARY, {1, 2, 3, 4});
    EXPECT_EQ(state.CheckedTime(), 0) << "four bytes are no stored time";
    SetRaw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kPeriodValue, REG_BINARY, {2, 0});
    EXPECT_EQ(state.Period(), ReminderPeriod::Month) << "a short period reads zero-extended";
    SetRaw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kPeriodValue, REG_QWORD, LittleEndian(1, 8));
    EXPECT_EQ(state.Period(), ReminderPeriod::NextDay) << "a period longer than 4 bytes fails";
}

TEST_F(CheckerStateWinTest, InstalledVersionComesFromTheMachinesUninstallEntry) {
    EXPECT_FALSE(ReadInstalledVersion(m_registry).has_value());
    // An entry only in the 64-bit view is not the pack's 32-bit installer's.
    SetRaw(HKEY_LOCAL_MACHINE, kUninstallKeyPath, L"VersionMajor", REG_DWORD, LittleEndian(9, 4));
    EXPECT_FALSE(ReadInstalledVersion(m_registry).has_value());

    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKeyPath32, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(ReadInstalledVersion(m_registry), InstalledVersion{});

    SetRaw(HKEY_LOCAL_MACHINE, kUninstallKeyPath32, L"VersionMajor", REG_DWORD, LittleEndian(18, 4));
    SetRaw(HKEY_LOCAL_MACHINE, kUninstallKeyPath32, L"VersionMinor", REG_BINARY, {0xFE, 0xFF, 0xFF, 0xFF});
    SetRaw(HKEY_LOCAL_MACHINE, kUninstallKeyPath32, L"DisplayVersion", REG_SZ, Utf16WithNul(L"18.4.0"));
    // The edition text without its NUL, written through the adapter that stores exactly the bytes given.
    {
        const auto uninstall = m_registry.Open(RegistryRoot::LocalMachine, kUninstallKeyPath, KEY_SET_VALUE | KEY_WOW64_32KEY);
        ASSERT_TRUE(uninstall);
        const uint8_t mega[] = {'M', 0, 'e', 0, 'g', 0, 'a', 0};
        ASSERT_TRUE(uninstall->Write(L"VersionSpec", REG_SZ, mega, sizeof mega));
    }
    ASSERT_EQ(Raw(HKEY_LOCAL_MACHINE, kUninstallKeyPath32, L"VersionSpec")->data.size(), 8u);

    const auto version = ReadInstalledVersion(m_registry);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->major, 18);
    EXPECT_EQ(version->minor, -2);
    EXPECT_EQ(version->spec, L"Mega");
    EXPECT_EQ(version->display, L"18.4.0");
}

TEST_F(CheckerStateWinTest, TheGateRecordsAPassAndNothingOnAHold) {
    const CFakeLocalCalendar calendar(0);
    const int64_t noon = calendar.At(2024, 3, 5, 12);
    ASSERT_EQ(ReminderGate(m_registry, calendar, noon, L"auto"), GateDecision::Pass);
    const auto checked = Raw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kCheckedValue);
    ASSERT_TRUE(checked);
    EXPECT_EQ(checked->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(checked->data, LittleEndian(static_cast<uint64_t>(noon), 8));
    const auto period = Raw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kPeriodValue);
    ASSERT_TRUE(period);
    EXPECT_EQ(period->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(period->data, LittleEndian(0, 4));

    EXPECT_EQ(ReminderGate(m_registry, calendar, noon + 3600, L"auto"), GateDecision::Hold);
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kCheckedValue)->data,
              LittleEndian(static_cast<uint64_t>(noon), 8));

    SetRaw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kPeriodValue, REG_DWORD, LittleEndian(3, 4));
    EXPECT_EQ(ReminderGate(m_registry, calendar, noon + 40 * 86400, L"strict"), GateDecision::Hold);
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kPeriodValue)->data, LittleEndian(3, 4));
    EXPECT_EQ(ReminderGate(m_registry, calendar, noon + 40 * 86400, L"Force"), GateDecision::Pass);
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, kCheckerStateKeyPath, kPeriodValue)->data, LittleEndian(0, 4));

    // The runtime's own calendar on the real registry: today's second check holds.
    const CCrtLocalCalendar local;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kCheckerStateKeyPath);
    EXPECT_EQ(ReminderGate(m_registry, local, noon, L"auto"), GateDecision::Pass);
    EXPECT_EQ(ReminderGate(m_registry, local, noon, L"auto"), GateDecision::Hold);
}

TEST_F(CheckerStateWinTest, TheRunValueHoldsTheQuotedOwnPathUnlessTheMachineHasOne) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));

    EnsureRunAtLogon();
    const auto value = Raw(HKEY_CURRENT_USER, kCheckerRunKeyPath, kCheckerRunValue);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->data, Utf16WithNul(L"\"" + std::wstring(path, length) + L"\" /s"));

    // With the machine-wide value set, the user's is neither written nor replaced.
    SetRaw(HKEY_LOCAL_MACHINE, kRunKeyPath32, kCheckerRunValue, REG_SZ,
           Utf16WithNul(L"\"C:\\Q\\q.exe\" /s"));
    SetRaw(HKEY_CURRENT_USER, kCheckerRunKeyPath, kCheckerRunValue, REG_SZ, Utf16WithNul(L"old"));
    EnsureRunAtLogon();
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, kCheckerRunKeyPath, kCheckerRunValue)->data, Utf16WithNul(L"old"));

    // An empty machine-wide value counts as none.
    SetRaw(HKEY_LOCAL_MACHINE, kRunKeyPath32, kCheckerRunValue, REG_SZ, Utf16WithNul(L""));
    EnsureRunAtLogon();
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, kCheckerRunKeyPath, kCheckerRunValue)->data, value->data);
}

}  // namespace
