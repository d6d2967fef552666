#pragma once

// Helpers for tests that write Tivolan's keys in the real (Wine) registry. Even in a throw-away
// prefix every test leaves the registry as it found it: HKCU\Software\Tivolan and the Run value go.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/platform/registry.h"
#include "scheduler/core/run_at_log_on.h"
#include "scheduler/core/settings.h"

inline void RemoveTivolanFromRegistry() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKeyPath);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKeyPath);
    HKEY run = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        ::RegDeleteValueW(run, kRunValueName);
        ::RegCloseKey(run);
    }
}

// Every value of a key as the registry enumerates it; empty when the key is missing.
inline std::map<std::wstring, RegistryValue> AllValuesOf(const wchar_t* path) {
    std::map<std::wstring, RegistryValue> values;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    DWORD maxName = 0;
    DWORD maxData = 0;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                       nullptr, nullptr);
    for (DWORD index = 0;; ++index) {
        std::vector<wchar_t> name(maxName + 1);
        std::vector<uint8_t> data(maxData + 1);
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        data.resize(size);
        values[std::wstring(name.data(), nameLength)] = RegistryValue{type, data};
    }
    ::RegCloseKey(key);
    return values;
}

class RealRegistryTest : public testing::Test {
  protected:
    void SetUp() override { RemoveTivolanFromRegistry(); }
    void TearDown() override { RemoveTivolanFromRegistry(); }
};
