#include "common/platform/registry_values.h"

#include <gtest/gtest.h>

#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

namespace {

TEST(RegistryValues, DwordNeedsItsTypeAndExactlyFourBytes) {
    const struct {
        RegistryValue value;
        std::optional<uint32_t> expected;
    } cases[] = {
        {MakeValue(RegistryType::Dword, {0x78, 0x56, 0x34, 0x12}), 0x12345678u},
        {MakeValue(RegistryType::Dword, {0xFF, 0xFF, 0xFF, 0xFF}), 0xFFFFFFFFu},
        {MakeValue(RegistryType::Dword, {1, 0, 0}), std::nullopt},
        {MakeValue(RegistryType::Dword, {1, 0, 0, 0, 0}), std::nullopt},
        {MakeValue(RegistryType::Dword, {}), std::nullopt},
        {MakeValue(RegistryType::Binary, {1, 0, 0, 0}), std::nullopt},
        {MakeValue(5 /* REG_DWORD_BIG_ENDIAN */, {0, 0, 0, 1}), std::nullopt},
        {StringValue(L"5"), std::nullopt},
        {QwordValue(1), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DwordOf(c.value), c.expected) << testing::PrintToString(c.value);
}

TEST(RegistryValues, QwordNeedsTypeElevenAndExactlyEightBytes) {
    const struct {
        RegistryValue value;
        std::optional<uint64_t> expected;
    } cases[] = {
        {MakeValue(RegistryType::Qword, {8, 7, 6, 5, 4, 3, 2, 1}), 0x0102030405060708u},
        {MakeValue(RegistryType::Qword, {1, 2, 3, 4}), std::nullopt},
        {MakeValue(RegistryType::Qword, {1, 2, 3, 4, 5, 6, 7, 8, 9}), std::nullopt},
        {MakeValue(RegistryType::Binary, {1, 0, 0, 0, 0, 0, 0, 0}), std::nullopt},
        {DwordValue(1), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QwordOf(c.value), c.expected) << testing::PrintToString(c.value);
}

TEST(RegistryValues, StringIsCutAtItsFirstNulAndNeedsAnEvenLength) {
    const struct {
        RegistryValue value;
        std::optional<std::wstring> expected;
    } cases[] = {
        {MakeValue(RegistryType::String, {'k', 0, 'o', 0, 0, 0}), L"ko"},
        // No terminator stored: the text runs to the end.
        {MakeValue(RegistryType::String, {'k', 0, 'o', 0}), L"ko"},
        {MakeValue(RegistryType::String, {'a', 0, 0, 0, 'b', 0, 0, 0}), L"a"},
        {MakeValue(RegistryType::String, {}), L""},
        {MakeValue(RegistryType::String, {0, 0}), L""},
        {MakeValue(RegistryType::String, {'k', 0, 'o', 0, 0}), std::nullopt},
        {MakeValue(RegistryType::String, {'k'}), std::nullopt},
        {StringValue(L"%TEMP%\\a.wav", RegistryType::ExpandString), L"%TEMP%\\a.wav"},
        {StringValue(L"ko", RegistryType::MultiString), std::nullopt},
        {StringValue(L"ko", RegistryType::Binary), std::nullopt},
        {DwordValue(0x6B), std::nullopt},
        {MakeValue(RegistryType::String, {0x5C, 0xD5, 0x6D, 0xAD, 0, 0}), L"\uD55C\uAD6D"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringOf(c.value), c.expected) << testing::PrintToString(c.value);
}

TEST(RegistryValues, StringsAreStoredAsUtf16WithTheirTerminator) {
    EXPECT_EQ(EncodeRegistryString(L""), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(EncodeRegistryString(L"A\u00E9"), (std::vector<uint8_t>{'A', 0, 0xE9, 0, 0, 0}));
    // The same bytes in both builds, whatever the width of wchar_t.
    const std::wstring beyondBmp = L"a\U0001F600";
    const std::vector<uint8_t> bytes{'a', 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0};
    EXPECT_EQ(EncodeRegistryString(beyondBmp), bytes);
    EXPECT_EQ(StringOf(MakeValue(RegistryType::String, bytes)), beyondBmp);
    // An unpaired surrogate survives the trip.
    const std::vector<uint8_t> lone{0x3D, 0xD8, 'x', 0};
    EXPECT_EQ(EncodeRegistryString(*StringOf(MakeValue(RegistryType::String, lone))),
              (std::vector<uint8_t>{0x3D, 0xD8, 'x', 0, 0, 0}));
}

TEST(RegistryValues, WritersStoreTypeAndLittleEndianBytes) {
    CMemoryRegistry registry;
    auto key = registry.Create(RegistryRoot::CurrentUser, L"K", RegistryAccess::ReadWrite);
    ASSERT_TRUE(key);
    const uint8_t raw[] = {9, 8, 7};
    EXPECT_TRUE(WriteDword(*key, L"d", 0x01020304));
    EXPECT_TRUE(WriteQword(*key, L"q", 0xFFFFFFFFFFFFFFFEu));
    EXPECT_TRUE(WriteString(*key, L"s", L"hi"));
    EXPECT_TRUE(WriteBinary(*key, L"b", raw));
    EXPECT_TRUE(WriteBinary(*key, L"e", {}));

    const auto value = [&](const wchar_t* name) {
        return *registry.Value(RegistryRoot::CurrentUser, L"K", name);
    };
    EXPECT_EQ(value(L"d"), MakeValue(RegistryType::Dword, {4, 3, 2, 1}));
    EXPECT_EQ(value(L"q"), MakeValue(RegistryType::Qword, {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(value(L"s"), MakeValue(RegistryType::String, {'h', 0, 'i', 0, 0, 0}));
    EXPECT_EQ(value(L"b"), MakeValue(RegistryType::Binary, {9, 8, 7}));
    EXPECT_EQ(value(L"e"), MakeValue(RegistryType::Binary, {}));

    EXPECT_EQ(ReadDword(*key, L"d"), 0x01020304u);
    EXPECT_EQ(ReadQword(*key, L"q"), 0xFFFFFFFFFFFFFFFEu);
    EXPECT_EQ(ReadString(*key, L"s"), L"hi");
    EXPECT_EQ(ReadString(*key, L"missing"), std::nullopt);
}

}  // namespace
