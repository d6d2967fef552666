#include "scheduler/core/run_at_log_on.h"

#include <gtest/gtest.h>

#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
const std::wstring kPath = L"C:\\Program Files\\Tivolan\\Tivolan.exe";

TEST(RunAtLogOn, IsSetByANonEmptyText) {
    const struct {
        std::optional<RegistryValue> value;
        bool expected;
    } cases[] = {
        {std::nullopt, false},
        {StringValue(L"\"C:\\T.exe\" /s"), true},
        {StringValue(L"x", RegistryType::ExpandString), true},
        {StringValue(L""), false},
        {MakeValue(RegistryType::String, {0, 0, 'x', 0}), false},
        {MakeValue(RegistryType::String, {'x', 0, 'y'}), false},
        {DwordValue(1), false},
        {StringValue(L"x", RegistryType::Binary), false},
    };
    for (const auto& c : cases) {
        CMemoryRegistry registry;
        registry.CreateKey(kUser, kRunKeyPath);
        if (c.value)
            registry.SetValue(kUser, kRunKeyPath, L"Tivolan", *c.value);
        EXPECT_EQ(IsRunAtLogOn(registry), c.expected) << testing::PrintToString(c.value);
        ASSERT_EQ(registry.KeyAccesses().size(), 1u);
        EXPECT_EQ(registry.KeyAccesses()[0].path, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
        EXPECT_EQ(registry.KeyAccesses()[0].access, 0x20019u);
    }
    CMemoryRegistry noKey;
    EXPECT_FALSE(IsRunAtLogOn(noKey));
}

TEST(RunAtLogOn, EnablingWritesTheQuotedPathWithTheBackgroundSwitch) {
    CMemoryRegistry registry;
    SetRunAtLogOn(registry, true, kPath);
    EXPECT_EQ(registry.Value(kUser, kRunKeyPath, L"Tivolan"),
              StringValue(L"\"C:\\Program Files\\Tivolan\\Tivolan.exe\" /s"));
    ASSERT_EQ(registry.KeyAccesses().size(), 1u);
    EXPECT_EQ(registry.KeyAccesses()[0].operation, CMemoryRegistry::KeyOperation::Create);
    EXPECT_EQ(registry.KeyAccesses()[0].access, 0x2001Fu);
    EXPECT_TRUE(IsRunAtLogOn(registry));
}

TEST(RunAtLogOn, NoUsablePathWritesNothing) {
    const std::wstring longest = L"C:\\" + std::wstring(kMaxRunPathLength - 7, L'x') + L".exe";
    const struct {
        std::wstring path;
        bool written;
    } cases[] = {{L"", false}, {longest, true}, {longest + L"x", false}};
    for (const auto& c : cases) {
        CMemoryRegistry registry;
        SetRunAtLogOn(registry, true, c.path);
        EXPECT_EQ(registry.Value(kUser, kRunKeyPath, L"Tivolan").has_value(), c.written) << c.path.size();
    }
}

TEST(RunAtLogOn, DisablingDeletesOnlyOurValue) {
    CMemoryRegistry registry;
    registry.SetValue(kUser, kRunKeyPath, L"Other", StringValue(L"other.exe"));
    SetRunAtLogOn(registry, true, kPath);
    registry.ClearLogs();
    SetRunAtLogOn(registry, false, L"");
    EXPECT_FALSE(registry.Value(kUser, kRunKeyPath, L"Tivolan"));
    EXPECT_TRUE(registry.Value(kUser, kRunKeyPath, L"Other"));
    ASSERT_EQ(registry.KeyAccesses().size(), 1u);
    EXPECT_EQ(registry.KeyAccesses()[0].operation, CMemoryRegistry::KeyOperation::Open);
    EXPECT_EQ(registry.KeyAccesses()[0].access, 0x20006u);
    EXPECT_FALSE(IsRunAtLogOn(registry));

    CMemoryRegistry empty;
    SetRunAtLogOn(empty, false, kPath);
    EXPECT_FALSE(empty.KeyExists(kUser, kRunKeyPath)) << "disabling never makes the key";
}

TEST(RunAtLogOn, AKeyThatCannotBeMadeChangesNothing) {
    CMemoryRegistry registry;
    registry.FailCreate(true);
    SetRunAtLogOn(registry, true, kPath);
    EXPECT_TRUE(registry.ValueAccesses().empty());
    registry.FailCreate(false);
    SetRunAtLogOn(registry, true, kPath);
    registry.FailOpen(true);
    SetRunAtLogOn(registry, false, kPath);
    EXPECT_TRUE(registry.Value(kUser, kRunKeyPath, L"Tivolan"));
}

}  // namespace
