#pragma once

// The browser-emulation setting: a REG_DWORD under the feature-control key, named after the
// program's executable, that makes the embedded browser control render as the installed browser
// does instead of in its oldest compatibility mode. The rules take the registry, the executable's
// name and the browser's major version as arguments, so they run against an in-memory registry.

#include <cstdint>
#include <optional>
#include <string>

#include "common/platform/registry.h"

inline constexpr wchar_t kBrowserEmulationKeyPath[] =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

// The value that selects the rendering of browser major version `major`; nothing below 8, where
// the setting does not exist.
std::optional<uint32_t> BrowserEmulationValue(uint32_t major);

// Writes the value named `executableName` (a file name without directory) under HKCU. False when
// the browser is older than 8, the name is empty, or the key or value cannot be written.
bool EnableBrowserEmulation(IRegistry& registry, const std::wstring& executableName, uint32_t major);

// Deletes that value. False when the browser is older than 8, the name is empty, or the key
// cannot be opened for writing; true when the value is gone afterwards.
bool DisableBrowserEmulation(IRegistry& registry, const std::wstring& executableName, uint32_t major);
