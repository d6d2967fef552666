#include "common/browser/browser_emulation.h"

#include <gtest/gtest.h>

#include "common/browser/browser_user_agent.h"

#include <string>
#include <tuple>

#include "common/platform/memory_registry.h"
#include "common/platform/registry_values.h"

namespace {

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;

std::optional<uint32_t> StoredValue(const CMemoryRegistry& registry, const wchar_t* name) {
    std::optional<RegistryValue> value = registry.Value(kUser, kBrowserEmulationKeyPath, name);
    if (!value)
        return std::nullopt;
    EXPECT_EQ(value->type, RegistryType::Dword);
    return DwordOf(*value);
}

struct VersionCase {
    uint32_t major;
    std::optional<uint32_t> written;
};

class BrowserEmulationVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(BrowserEmulationVersionTest, WritesMajorTimesThousandFromEightOn) {
    const VersionCase& c = GetParam();
    CMemoryRegistry registry;
    EXPECT_EQ(EnableBrowserEmulation(registry, L"Tivolan.exe", c.major), c.written.has_value());
    EXPECT_EQ(StoredValue(registry, L"Tivolan.exe"), c.written);
    if (!c.written) {
        // Nothing at all: not even the key is made for a browser without the setting.
        EXPECT_TRUE(registry.KeyAccesses().empty());
        EXPECT_FALSE(registry.KeyExists(kUser, kBrowserEmulationKeyPath));
    }
}

INSTANTIATE_TEST_SUITE_P(Majors,
                         BrowserEmulationVersionTest,
                         ::testing::Values(VersionCase{0, std::nullopt},
                                           VersionCase{7, std::nullopt},
                                           VersionCase{8, 8000u},
                                           VersionCase{9, 9000u},
                                           VersionCase{10, 10000u},
                                           VersionCase{11, 11000u},
                                           VersionCase{0xFFFF, 65535000u},
                                           VersionCase{0x10000, std::nullopt}));

TEST(BrowserEmulationTest, EnableCreatesTheKeyWithWriteAccessAndLeavesOtherProgramsAlone) {
    CMemoryRegistry registry;
    registry.SetValue(kUser, kBrowserEmulationKeyPath, L"Other.exe",
                      RegistryValue{RegistryType::Dword, {1, 0, 0, 0}});
    ASSERT_TRUE(EnableBrowserEmulation(registry, L"QPChkUpd2.exe", 11));
    ASSERT_EQ(registry.KeyAccesses().size(), 1u);
    EXPECT_EQ(registry.KeyAccesses()[0].operation, CMemoryRegistry::KeyOperation::Create);
    EXPECT_EQ(registry.KeyAccesses()[0].access, RegistryAccess::Write);
    EXPECT_EQ(StoredValue(registry, L"QPChkUpd2.exe"), 11000u);
    EXPECT_EQ(StoredValue(registry, L"Other.exe"), 1u);

    // A second start with a newer browser replaces the value.
    ASSERT_TRUE(EnableBrowserEmulation(registry, L"QPChkUpd2.exe", 12));
    EXPECT_EQ(StoredValue(registry, L"QPChkUpd2.exe"), 12000u);
}

TEST(BrowserEmulationTest, DisableDeletesOnlyThisProgramsValueWithoutCreatingTheKey) {
    CMemoryRegistry registry;
    EXPECT_FALSE(DisableBrowserEmulation(registry, L"Tivolan.exe", 11));
    EXPECT_FALSE(registry.KeyExists(kUser, kBrowserEmulationKeyPath));

    ASSERT_TRUE(EnableBrowserEmulation(registry, L"Tivolan.exe", 11));
    ASSERT_TRUE(EnableBrowserEmulation(registry, L"QPChkUpd2.exe", 11));
    registry.ClearLogs();
    EXPECT_TRUE(DisableBrowserEmulation(registry, L"tivolan.EXE", 11));
    ASSERT_EQ(registry.KeyAccesses().size(), 1u);
    EXPECT_EQ(registry.KeyAccesses()[0].operation, CMemoryRegistry::KeyOperation::Open);
    EXPECT_EQ(registry.KeyAccesses()[0].access, RegistryAccess::Write);
    EXPECT_EQ(StoredValue(registry, L"Tivolan.exe"), std::nullopt);
    EXPECT_EQ(StoredValue(registry, L"QPChkUpd2.exe"), 11000u);
}

TEST(BrowserEmulationTest, DisableWithAnOldBrowserTouchesNothing) {
    CMemoryRegistry registry;
    ASSERT_TRUE(EnableBrowserEmulation(registry, L"Tivolan.exe", 9));
    registry.ClearLogs();
    EXPECT_FALSE(DisableBrowserEmulation(registry, L"Tivolan.exe", 7));
    EXPECT_TRUE(registry.KeyAccesses().empty());
    EXPECT_EQ(StoredValue(registry, L"Tivolan.exe"), 9000u);
}

TEST(BrowserEmulationTest, FailuresAndAnEmptyNameReportFalse) {
    CMemoryRegistry registry;
    EXPECT_FALSE(EnableBrowserEmulation(registry, L"", 11));
    EXPECT_TRUE(registry.ValueNames(kUser, kBrowserEmulationKeyPath).empty());

    registry.FailCreate(true);
    EXPECT_FALSE(EnableBrowserEmulation(registry, L"Tivolan.exe", 11));
    registry.FailCreate(false);
    registry.FailWrites(true);
    EXPECT_FALSE(EnableBrowserEmulation(registry, L"Tivolan.exe", 11));
    EXPECT_EQ(StoredValue(registry, L"Tivolan.exe"), std::nullopt);
    registry.FailWrites(false);

    ASSERT_TRUE(EnableBrowserEmulation(registry, L"Tivolan.exe", 11));
    registry.FailOpen(true);
    EXPECT_FALSE(DisableBrowserEmulation(registry, L"Tivolan.exe", 11));
    EXPECT_EQ(StoredValue(registry, L"Tivolan.exe"), 11000u);
}

TEST(BrowserUserAgentTest, ControlsGoAndTheAgentIsCutAt255Utf16Units) {
    const std::wstring kEmoji = L"\U0001F600";  // a surrogate pair in UTF-16
    const std::tuple<const char*, std::wstring, std::wstring> cases[] = {
        {"ordinary", L"Mozilla/5.0 (compatible; QP 2.1)", L"Mozilla/5.0 (compatible; QP 2.1)"},
        {"a header smuggled in", L"QP\r\nX-Forwarded-For: 1.2.3.4", L"QPX-Forwarded-For: 1.2.3.4"},
        {"C0, DEL and C1 controls", L"\tA\x01" L"B\x1f\x7f\x85" L"C\x9f", L"ABC"},
        {"a NUL inside", std::wstring(L"QP\0agent", 8), L"QPagent"},
        {"nothing but controls", L"\r\n\t", L""}, {"empty", L"", L""},
        {"other text stays", L"QP \u00a0\u00e9 \uD55C\uAE00 \u0391", L"QP \u00a0\u00e9 \uD55C\uAE00 \u0391"},
        {"exactly 255", std::wstring(255, L'a'), std::wstring(255, L'a')},
        {"256 cut", std::wstring(256, L'a'), std::wstring(255, L'a')},
        {"controls go before the cut", std::wstring(10, L'\n') + std::wstring(300, L'b'), std::wstring(255, L'b')},
        {"a pair that fits", std::wstring(253, L'a') + kEmoji, std::wstring(253, L'a') + kEmoji},
        {"a pair the cut would split", std::wstring(254, L'a') + kEmoji + L"z", std::wstring(254, L'a')},
    };
    for (const auto& [name, agent, expected] : cases)
        EXPECT_EQ(CleanUserAgent(agent), expected) << name;
}

}  // namespace
