#include "checker/core/run_at_logon.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "checker/core/checker_keys.h"
#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;
const std::wstring kExe = L"C:\\Program Files\\Quillpack\\QPChkUpd2.exe";

TEST(CheckerRunAtLogon, WritesTheQuotedPathWithSilentSwitchAndItsNul) {
    CMemoryRegistry registry;
    EnsureRunAtLogon(registry, kExe);
    const std::optional<RegistryValue> value = registry.Value(kUser, kCheckerRunKeyPath, L"qpchk");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, RegistryType::String);
    const std::wstring expected = L"\"C:\\Program Files\\Quillpack\\QPChkUpd2.exe\" /s";
    EXPECT_EQ(value->data.size(), 2 * (expected.size() + 1));
    EXPECT_EQ(StringOf(*value), expected);
    EXPECT_EQ(value->data[value->data.size() - 1], 0);
    EXPECT_EQ(value->data[value->data.size() - 2], 0);
    EXPECT_EQ(RunAtLogonCommand(L"D:\\q.exe"), L"\"D:\\q.exe\" /s");

    bool createdWithAllAccess = false;
    for (const auto& access : registry.KeyAccesses()) {
        if (access.operation == CMemoryRegistry::KeyOperation::Create) {
            EXPECT_EQ(access.root, kUser);
            EXPECT_EQ(access.path, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
            createdWithAllAccess = access.access == RegistryAccess::AllAccess;
        } else {
            EXPECT_EQ(access.root, kMachine) << "only the machine-wide key is opened";
            EXPECT_EQ(access.access, RegistryAccess::Read | RegistryAccess::View32) << "in the 32-bit view";
        }
    }
    EXPECT_TRUE(createdWithAllAccess);
}

TEST(CheckerRunAtLogon, ANonEmptyMachineWideValueLeavesTheUsersAlone) {
    const struct {
        const char* name;
        std::optional<RegistryValue> machine;  // nothing: the machine-wide key is missing
        bool writes;
    } cases[] = {
        {"no machine-wide key", std::nullopt, true},
        {"machine-wide value set", StringValue(L"\"C:\\Q\\QPChkUpd2.exe\" /s"), false},
        {"machine-wide value without nul", MakeValue(RegistryType::String, {'x', 0}), false},
        {"machine-wide value empty", StringValue(L""), true},
        {"machine-wide value only a nul then text", MakeValue(RegistryType::String, {0, 0, 'x', 0}), true},
        {"machine-wide value not a text", DwordValue(1), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryRegistry registry;
        if (c.machine)
            registry.SetValue(kMachine, kCheckerRunKeyPath, L"qpchk", *c.machine);
        registry.SetValue(kUser, kCheckerRunKeyPath, L"qpchk", StringValue(L"old"));
        EnsureRunAtLogon(registry, kExe);
        const auto user = registry.Value(kUser, kCheckerRunKeyPath, L"qpchk");
        EXPECT_EQ(user, StringValue(c.writes ? L"\"" + kExe + L"\" /s" : L"old"));
        if (c.machine) {
            EXPECT_EQ(registry.Value(kMachine, kCheckerRunKeyPath, L"qpchk"), c.machine) << "only read";
        }
    }
}

TEST(CheckerRunAtLogon, AMachineWideKeyWithoutTheValueStillWrites) {
    CMemoryRegistry registry;
    registry.CreateKey(kMachine, kCheckerRunKeyPath);
    EnsureRunAtLogon(registry, kExe);
    EXPECT_TRUE(registry.Value(kUser, kCheckerRunKeyPath, L"qpchk").has_value());
    EXPECT_TRUE(registry.ValueNames(kMachine, kCheckerRunKeyPath).empty());
}

TEST(CheckerRunAtLogon, APathThatCouldStartNothingWritesNothing) {
    const struct {
        const char* name;
        std::wstring path;
        bool writes;
    } cases[] = {
        {"empty", L"", false},
        {"259 characters", L"C:\\" + std::wstring(252, L'a') + L".exe", true},
        {"260 characters", L"C:\\" + std::wstring(253, L'a') + L".exe", false},
        {"with a quote", L"C:\\a\" /x \"b.exe", false},
        {"with a nul", std::wstring(L"C:\\a.exe\0b", 10), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMemoryRegistry registry;
        EnsureRunAtLogon(registry, c.path);
        EXPECT_EQ(registry.Value(kUser, kCheckerRunKeyPath, L"qpchk").has_value(), c.writes);
    }
}

TEST(CheckerRunAtLogon, FailuresAreIgnored) {
    CMemoryRegistry noCreate;
    noCreate.FailCreate(true);
    EnsureRunAtLogon(noCreate, kExe);
    EXPECT_FALSE(noCreate.KeyExists(kUser, kCheckerRunKeyPath));

    CMemoryRegistry noWrite;
    noWrite.FailWrites(true);
    EnsureRunAtLogon(noWrite, kExe);
    EXPECT_FALSE(noWrite.Value(kUser, kCheckerRunKeyPath, L"qpchk").has_value());
}

}  // namespace
