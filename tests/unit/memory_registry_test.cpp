#include "common/platform/memory_registry.h"

#include <gtest/gtest.h>

#include "tests/unit/registry_fixtures.h"

namespace {

using Op = CMemoryRegistry::ValueOperation;
constexpr auto kUser = RegistryRoot::CurrentUser;

TEST(MemoryRegistry, PathsAndNamesIgnoreCaseAndCreateMakesParents) {
    CMemoryRegistry registry;
    EXPECT_FALSE(registry.Open(kUser, L"Software\\Tivolan", RegistryAccess::Read));
    auto created = registry.Create(kUser, L"Software\\Tivolan\\Deep", RegistryAccess::ReadWrite);
    ASSERT_TRUE(created);
    EXPECT_TRUE(WriteDword(*created, L"Hour1", 3));
    EXPECT_TRUE(WriteDword(*created, L"HOUR1", 4));

    EXPECT_TRUE(registry.Open(kUser, L"software", RegistryAccess::Read));
    EXPECT_TRUE(registry.Open(kUser, L"SOFTWARE\\tivolan", RegistryAccess::Read));
    EXPECT_FALSE(registry.Open(RegistryRoot::LocalMachine, L"Software\\Tivolan", RegistryAccess::Read));
    auto opened = registry.Open(kUser, L"software\\TIVOLAN\\deep", RegistryAccess::Read);
    ASSERT_TRUE(opened);
    EXPECT_EQ(ReadDword(*opened, L"hour1"), 4u);
    // One value, keeping the spelling it was first written with.
    EXPECT_EQ(registry.ValueNames(kUser, L"Software\\Tivolan\\Deep"), std::vector<std::wstring>{L"Hour1"});
}

TEST(MemoryRegistry, ChecksTheAccessMaskLikeTheRegistry) {
    CMemoryRegistry registry;
    registry.SetValue(kUser, L"K", L"v", DwordValue(1));
    auto readOnly = registry.Open(kUser, L"K", RegistryAccess::Read);
    auto writeOnly = registry.Open(kUser, L"K", RegistryAccess::Write);
    ASSERT_TRUE(readOnly && writeOnly);
    EXPECT_FALSE(WriteDword(*readOnly, L"v", 2));
    EXPECT_FALSE(readOnly->Delete(L"v"));
    EXPECT_FALSE(writeOnly->Read(L"v"));
    EXPECT_TRUE(WriteDword(*writeOnly, L"v", 3));
    EXPECT_EQ(ReadDword(*readOnly, L"v"), 3u);
    EXPECT_TRUE(writeOnly->Delete(L"v"));
    EXPECT_TRUE(writeOnly->Delete(L"v")) << "a missing value counts as deleted";
    EXPECT_FALSE(registry.Value(kUser, L"K", L"v"));

    const auto& keys = registry.KeyAccesses();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].access, RegistryAccess::Read);
    EXPECT_EQ(keys[1].access, RegistryAccess::Write);
    EXPECT_EQ(keys[1].operation, CMemoryRegistry::KeyOperation::Open);
}

TEST(MemoryRegistry, FailsWhatItIsToldToAndLogsIt) {
    CMemoryRegistry registry;
    registry.SetValue(kUser, L"K", L"a", DwordValue(1));
    registry.FailOpen(true);
    EXPECT_FALSE(registry.Open(kUser, L"K", RegistryAccess::Read));
    registry.FailCreate(true);
    EXPECT_FALSE(registry.Create(kUser, L"New", RegistryAccess::ReadWrite));
    EXPECT_FALSE(registry.KeyExists(kUser, L"New"));
    registry.FailOpen(false);
    registry.FailCreate(false);

    auto key = registry.Create(kUser, L"K", RegistryAccess::ReadWrite);
    registry.FailWritesOf(L"B");
    EXPECT_TRUE(WriteDword(*key, L"a", 2));
    EXPECT_FALSE(WriteDword(*key, L"b", 2));
    registry.FailWrites(true);
    EXPECT_FALSE(WriteDword(*key, L"a", 3));
    EXPECT_FALSE(key->Delete(L"a"));
    EXPECT_EQ(ReadDword(*key, L"a"), 2u);
    EXPECT_FALSE(registry.Value(kUser, L"K", L"b"));

    const std::vector<std::pair<Op, bool>> expected = {
        {Op::Write, true}, {Op::Write, false}, {Op::Write, false}, {Op::Delete, false}, {Op::Read, true}};
    ASSERT_EQ(registry.ValueAccesses().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(registry.ValueAccesses()[i].operation, expected[i].first) << i;
        EXPECT_EQ(registry.ValueAccesses()[i].succeeded, expected[i].second) << i;
    }
    const auto& keys = registry.KeyAccesses();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_FALSE(keys[0].succeeded);
    EXPECT_FALSE(keys[1].succeeded);
    EXPECT_TRUE(keys[2].succeeded);
}

}  // namespace
