#include "checker/core/installed_version.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "checker/core/checker_keys.h"
#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

void PrintTo(const InstalledVersion& v, std::ostream* out) {
    *out << v.major << '.' << v.minor << " spec " << testing::PrintToString(v.spec) << " display "
         << testing::PrintToString(v.display);
}

namespace {

constexpr auto kMachine = RegistryRoot::LocalMachine;

TEST(InstalledVersion, AMissingKeyIsTheOnlyFailure) {
    CMemoryRegistry registry;
    EXPECT_FALSE(ReadInstalledVersion(registry).has_value());
    // The same entry under the current user is not the pack's.
    registry.CreateKey(RegistryRoot::CurrentUser, kUninstallKeyPath);
    EXPECT_FALSE(ReadInstalledVersion(registry).has_value());

    registry.CreateKey(kMachine, kUninstallKeyPath);
    EXPECT_EQ(ReadInstalledVersion(registry), InstalledVersion{});
    registry.FailOpen(true);
    EXPECT_FALSE(ReadInstalledVersion(registry).has_value());
}

TEST(InstalledVersion, OpensTheUninstallEntryReadOnly) {
    CMemoryRegistry registry;
    registry.CreateKey(kMachine, kUninstallKeyPath);
    ReadInstalledVersion(registry);
    ASSERT_EQ(registry.KeyAccesses().size(), 1u);
    const auto& access = registry.KeyAccesses()[0];
    EXPECT_EQ(access.operation, CMemoryRegistry::KeyOperation::Open);
    EXPECT_EQ(access.root, kMachine);
    EXPECT_EQ(access.path, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillpack");
    // In the 32-bit view, where the pack's 32-bit installer writes it on 64-bit Windows.
    EXPECT_EQ(access.access, RegistryAccess::Read | RegistryAccess::View32);
    for (const auto& value : registry.ValueAccesses())
        EXPECT_EQ(value.operation, CMemoryRegistry::ValueOperation::Read);
}

TEST(InstalledVersion, EachValueIsReadOnItsOwnRules) {
    const struct {
        const char* name;
        std::vector<std::pair<const wchar_t*, RegistryValue>> values;
        InstalledVersion expected;
    } cases[] = {
        {"all present",
         {{L"VersionMajor", DwordValue(18)},
          {L"VersionMinor", DwordValue(4)},
          {L"VersionSpec", StringValue(L"Mega")},
          {L"DisplayVersion", StringValue(L"18.4.0")}},
         {18, 4, L"Mega", L"18.4.0"}},
        {"only the numbers",
         {{L"VersionMajor", DwordValue(1)}, {L"VersionMinor", DwordValue(0)}},
         {1, 0, L"", L""}},
        {"numbers of other types read as their bytes",
         {{L"VersionMajor", MakeValue(RegistryType::Binary, {9, 0, 0, 0})},
          {L"VersionMinor", MakeValue(RegistryType::String, {'2', 0})}},
         {9, 0x32, L"", L""}},
        {"numbers are signed",
         {{L"VersionMajor", DwordValue(0xFFFFFFFF)}, {L"VersionMinor", DwordValue(0x80000000)}},
         {-1, INT32_MIN, L"", L""}},
        {"numbers longer than four bytes fail to 0",
         {{L"VersionMajor", QwordValue(7)},
          {L"VersionMinor", MakeValue(RegistryType::Dword, {1, 0, 0, 0, 0})}},
         {0, 0, L"", L""}},
        {"texts without their nul",
         {{L"VersionSpec", MakeValue(RegistryType::String, {'S', 0, 't', 0, 'd', 0})},
          {L"DisplayVersion", MakeValue(RegistryType::String, {'1', 0, '.', 0, '2', 0})}},
         {0, 0, L"Std", L"1.2"}},
        {"texts end at the first nul",
         {{L"DisplayVersion", MakeValue(RegistryType::String, {'3', 0, 0, 0, 'x', 0, 0, 0})}},
         {0, 0, L"", L"3"}},
        {"a number where a text belongs is no text", {{L"VersionSpec", DwordValue(0x41)}}, {0, 0, L"", L""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryRegistry registry;
        registry.CreateKey(kMachine, kUninstallKeyPath);
        for (const auto& [name, value] : c.values)
            registry.SetValue(kMachine, kUninstallKeyPath, name, value);
        EXPECT_EQ(ReadInstalledVersion(registry), c.expected);
    }
}

}  // namespace
