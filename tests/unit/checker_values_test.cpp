#include "checker/core/checker_values.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "common/platform/memory_registry.h"
#include "tests/unit/registry_fixtures.h"

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr const wchar_t* kKey = L"Software\\Test";

// A key holding one value "v" (or none), opened for reading.
class OneValue {
  public:
    explicit OneValue(std::optional<RegistryValue> value) {
        m_registry.CreateKey(kUser, kKey);
        if (value)
            m_registry.SetValue(kUser, kKey, L"v", *value);
        m_key = m_registry.Open(kUser, kKey, RegistryAccess::Read);
    }
    const IRegistryKey& Key() const { return *m_key; }

  private:
    CMemoryRegistry m_registry;
    std::unique_ptr<IRegistryKey> m_key;
};

TEST(CheckerValues, NumbersAreTheFirstFourBytesZeroExtendedWhateverTheType) {
    const struct {
        const char* name;
        std::optional<RegistryValue> value;
        std::optional<uint32_t> expected;
    } cases[] = {
        {"missing", std::nullopt, std::nullopt},
        {"dword", DwordValue(0x89ABCDEF), 0x89ABCDEF},
        {"two bytes", MakeValue(RegistryType::Dword, {0x34, 0x12}), 0x1234},
        {"one byte", MakeValue(RegistryType::Binary, {0x07}), 7},
        {"no bytes", MakeValue(RegistryType::Dword, {}), 0},
        {"binary of four", MakeValue(RegistryType::Binary, {1, 2, 3, 4}), 0x04030201},
        {"text of one character", StringValue(L"7"), 0x37},
        {"five bytes", MakeValue(RegistryType::Dword, {1, 0, 0, 0, 0}), std::nullopt},
        {"qword", QwordValue(1), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OneValue key(c.value);
        EXPECT_EQ(ReadFourByteNumber(key.Key(), L"v"), c.expected);
    }
}

TEST(CheckerValues, TextEndsAtItsFirstNulAndOnlyTextTypesCount) {
    const struct {
        const char* name;
        std::optional<RegistryValue> value;
        std::wstring expected;
    } cases[] = {
        {"missing", std::nullopt, L""},
        {"with nul", StringValue(L"11.2.0"), L"11.2.0"},
        {"without nul", MakeValue(RegistryType::String, {'1', 0, '.', 0, '5', 0}), L"1.5"},
        {"odd byte count", MakeValue(RegistryType::String, {'a', 0, 'b', 0, 'c'}), L"ab"},
        {"inner nul", MakeValue(RegistryType::String, {'a', 0, 'b', 0, 0, 0, 'c', 0, 0, 0}), L"ab"},
        {"empty data", MakeValue(RegistryType::String, {}), L""},
        {"expand left unexpanded", StringValue(L"%TEMP%", RegistryType::ExpandString), L"%TEMP%"},
        {"multi gives its first",
         MakeValue(RegistryType::MultiString, {'o', 0, 'n', 0, 0, 0, 't', 0, 0, 0, 0, 0}), L"on"},
        {"non-latin", StringValue(L"\uD55C\u00E9"), L"\uD55C\u00E9"},
        {"dword", DwordValue(0x00410041), L""},
        {"binary", MakeValue(RegistryType::Binary, {'a', 0, 0, 0}), L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OneValue key(c.value);
        EXPECT_EQ(ReadText(key.Key(), L"v"), c.expected);
    }
}

TEST(CheckerValues, StoredTimesAreEightLittleEndianBytesBothWays) {
    const int64_t times[] = {0,
                             1,
                             -1,
                             1700000000,
                             0x0102030405060708,
                             std::numeric_limits<int64_t>::min(),
                             std::numeric_limits<int64_t>::max()};
    for (const int64_t time : times) {
        SCOPED_TRACE(time);
        CMemoryRegistry registry;
        auto key = registry.Create(kUser, kKey, RegistryAccess::AllAccess);
        ASSERT_TRUE(WriteStoredTime(*key, L"t", time));
        EXPECT_EQ(registry.Value(kUser, kKey, L"t"),
                  MakeValue(RegistryType::Binary, LittleEndianBytes(static_cast<uint64_t>(time), 8)));
        EXPECT_EQ(ReadStoredTime(*key, L"t"), time);
    }
}

TEST(CheckerValues, StoredTimesOfAnotherSizeReadAsNever) {
    const struct {
        const char* name;
        std::optional<RegistryValue> value;
        int64_t expected;
    } cases[] = {
        {"missing", std::nullopt, 0},
        {"seven bytes", MakeValue(RegistryType::Binary, {1, 2, 3, 4, 5, 6, 7}), 0},
        {"nine bytes", MakeValue(RegistryType::Binary, {1, 0, 0, 0, 0, 0, 0, 0, 0}), 0},
        {"four bytes", MakeValue(RegistryType::Binary, {1, 2, 3, 4}), 0},
        {"empty", MakeValue(RegistryType::Binary, {}), 0},
        {"eight bytes of another type", QwordValue(1700000000), 1700000000},
        {"high bit set", MakeValue(RegistryType::Binary, {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
         -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OneValue key(c.value);
        EXPECT_EQ(ReadStoredTime(key.Key(), L"v"), c.expected);
    }
}

TEST(CheckerValues, AFailedTimeWriteIsReported) {
    CMemoryRegistry registry;
    auto key = registry.Create(kUser, kKey, RegistryAccess::AllAccess);
    registry.FailWrites(true);
    EXPECT_FALSE(WriteStoredTime(*key, L"t", 5));
    EXPECT_FALSE(registry.Value(kUser, kKey, L"t").has_value());
}

}  // namespace
