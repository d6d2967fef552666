#include "common/platform/registry_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/platform/memory_registry.h"
#include "common/platform/registry_values.h"
#include "tests/unit/registry_fixtures.h"
#include "tests/wine/registry_scratch.h"

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
const wchar_t* const kDeep = L"Software\\Tivolan\\Adapter\\Deep";

using CWin32RegistryTest = RealRegistryTest;

TEST_F(CWin32RegistryTest, CreateMakesTheParentsAndOpenFindsThemWithoutRegardToCase) {
    CWin32Registry registry;
    EXPECT_FALSE(registry.Open(kUser, kDeep, RegistryAccess::Read));
    ASSERT_TRUE(registry.Create(kUser, kDeep, RegistryAccess::ReadWrite));
    EXPECT_TRUE(registry.Open(kUser, L"Software\\Tivolan\\Adapter", RegistryAccess::Read));
    auto key = registry.Open(kUser, L"SOFTWARE\\tivolan\\ADAPTER\\deep", RegistryAccess::ReadWrite);
    ASSERT_TRUE(key);
    EXPECT_TRUE(WriteDword(*key, L"Value", 1));
    EXPECT_EQ(ReadDword(*key, L"VALUE"), 1u);
    EXPECT_FALSE(registry.Open(kUser, L"Software\\Tivolan\\Missing", RegistryAccess::Read));
}

// The same writes through the adapter and the fake leave the same types and bytes, and both read
// them back the same way.
TEST_F(CWin32RegistryTest, StoresExactlyWhatTheFakeStores) {
    const std::vector<uint8_t> big(100000, 0xA5);
    const struct {
        const wchar_t* name;
        RegistryValue value;
    } writes[] = {
        {L"Dword", DwordValue(0x89ABCDEF)},
        {L"Qword", QwordValue(0x0123456789ABCDEFu)},
        {L"String", StringValue(L"C:\\\uD55C\uAD6D\\a.wav")},
        {L"Expand", StringValue(L"%TEMP%\\x", RegistryType::ExpandString)},
        {L"NoNul", MakeValue(RegistryType::String, {'a', 0, 'b', 0})},
        {L"OddString", MakeValue(RegistryType::String, {'a', 0, 'b'})},
        {L"ShortDword", MakeValue(RegistryType::Dword, {1, 2, 3})},
        {L"EmptyBinary", MakeValue(RegistryType::Binary, {})},
        {L"Big", MakeValue(RegistryType::Binary, big)},
        {L"", StringValue(L"default value")},
    };
    CWin32Registry real;
    CMemoryRegistry fake;
    auto realKey = real.Create(kUser, kDeep, RegistryAccess::ReadWrite);
    auto fakeKey = fake.Create(kUser, kDeep, RegistryAccess::ReadWrite);
    ASSERT_TRUE(realKey && fakeKey);
    for (const auto& w : writes) {
        EXPECT_TRUE(realKey->Write(w.name, w.value.type, w.value.data.data(), w.value.data.size())) << w.name;
        fakeKey->Write(w.name, w.value.type, w.value.data.data(), w.value.data.size());
    }
    for (const auto& w : writes) {
        const auto stored = realKey->Read(w.name);
        ASSERT_TRUE(stored) << w.name;
        EXPECT_EQ(*stored, w.value) << w.name;
        EXPECT_EQ(*stored, *fakeKey->Read(w.name)) << w.name;
        EXPECT_EQ(StringOf(*stored), StringOf(w.value)) << w.name;
        EXPECT_EQ(DwordOf(*stored), DwordOf(w.value)) << w.name;
    }
    EXPECT_EQ(ReadString(*realKey, L"NoNul"), L"ab");
    EXPECT_EQ(ReadString(*realKey, L"OddString"), std::nullopt);
    EXPECT_EQ(ReadDword(*realKey, L"ShortDword"), std::nullopt);
    EXPECT_EQ(AllValuesOf(kDeep).size(), std::size(writes));
}

TEST_F(CWin32RegistryTest, DeletingAMissingValueSucceeds) {
    CWin32Registry registry;
    auto key = registry.Create(kUser, kDeep, RegistryAccess::ReadWrite);
    ASSERT_TRUE(key);
    EXPECT_FALSE(key->Read(L"Gone"));
    EXPECT_TRUE(key->Delete(L"Gone"));
    ASSERT_TRUE(WriteString(*key, L"Gone", L"here"));
    EXPECT_TRUE(key->Delete(L"gone"));
    EXPECT_FALSE(key->Read(L"Gone"));
    EXPECT_TRUE(AllValuesOf(kDeep).empty());
}

TEST_F(CWin32RegistryTest, AKeyOpenedForReadingCannotWrite) {
    CWin32Registry registry;
    ASSERT_TRUE(registry.Create(kUser, kDeep, RegistryAccess::ReadWrite));
    auto readOnly = registry.Open(kUser, kDeep, RegistryAccess::Read);
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(WriteDword(*readOnly, L"Value", 1));
    EXPECT_TRUE(AllValuesOf(kDeep).empty());
}

}  // namespace
