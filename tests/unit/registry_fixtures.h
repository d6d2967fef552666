#pragma once

// Values and settings records for the registry and settings tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/platform/memory_registry.h"
#include "common/platform/registry.h"
#include "common/platform/registry_values.h"
#include "scheduler/core/settings.h"

inline RegistryValue MakeValue(uint32_t type, std::vector<uint8_t> bytes) {
    return RegistryValue{type, std::move(bytes)};
}

inline std::vector<uint8_t> LittleEndianBytes(uint64_t value, size_t size) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < size; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return bytes;
}

inline RegistryValue DwordValue(uint32_t value) {
    return MakeValue(RegistryType::Dword, LittleEndianBytes(value, 4));
}

inline RegistryValue QwordValue(uint64_t value) {
    return MakeValue(RegistryType::Qword, LittleEndianBytes(value, 8));
}

inline RegistryValue StringValue(std::wstring_view text, uint32_t type = RegistryType::String) {
    return MakeValue(type, EncodeRegistryString(text));
}

inline bool operator==(const RegistryValue& a, const RegistryValue& b) {
    return a.type == b.type && a.data == b.data;
}

inline void PrintTo(const RegistryValue& value, std::ostream* out) {
    *out << "type " << value.type << " [";
    for (const uint8_t byte : value.data)
        *out << ' ' << static_cast<int>(byte);
    *out << " ]";
}

// The user's key at `path`, holding `name` when a value is given (the key is there either way).
inline CMemoryRegistry UserKeyWith(std::wstring_view path, std::wstring_view name,
                                   const std::optional<RegistryValue>& value) {
    CMemoryRegistry registry;
    registry.CreateKey(RegistryRoot::CurrentUser, path);
    if (value)
        registry.SetValue(RegistryRoot::CurrentUser, path, name, *value);
    return registry;
}

// A record with every field away from its default.
inline CSettings SampleSettings() {
    CSettings s;
    s.hour1 = 2;
    s.min1 = 45;
    s.hour2 = 7;
    s.min2 = 5;
    s.type = 1;
    s.ampm = 1;
    s.forceIfHung = true;
    s.mode = 8;
    s.confirm = false;
    s.lang = L"ko";
    s.setLang = L"el";
    s.lastUpdateCheck = 0x123456789ALL;
    s.alarmSound = -1;
    s.soundFile = L"C:\\Sounds\\Ring.wav";
    return s;
}

inline void ExpectSameFields(const CSettings& actual, const CSettings& expected) {
    EXPECT_EQ(actual.hour1, expected.hour1);
    EXPECT_EQ(actual.min1, expected.min1);
    EXPECT_EQ(actual.hour2, expected.hour2);
    EXPECT_EQ(actual.min2, expected.min2);
    EXPECT_EQ(actual.type, expected.type);
    EXPECT_EQ(actual.ampm, expected.ampm);
    EXPECT_EQ(actual.forceIfHung, expected.forceIfHung);
    EXPECT_EQ(actual.mode, expected.mode);
    EXPECT_EQ(actual.confirm, expected.confirm);
    EXPECT_EQ(actual.lang, expected.lang);
    EXPECT_EQ(actual.setLang, expected.setLang);
    EXPECT_EQ(actual.lastUpdateCheck, expected.lastUpdateCheck);
    EXPECT_EQ(actual.tasks, expected.tasks);
    EXPECT_EQ(actual.storedTaskCount, expected.storedTaskCount);
    EXPECT_EQ(actual.alarmSound, expected.alarmSound);
    EXPECT_EQ(actual.soundFile, expected.soundFile);
}
