#pragma once

// The per-user Run entry that starts Tivolan hidden in the notification area at log-on.

#include <string>
#include <string_view>

#include "common/platform/registry.h"

inline constexpr const wchar_t* kRunKeyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kRunValueName = L"Tivolan";
// The longest executable path the entry is written with: a longer one could only have been cut
// short, and a cut path would start nothing.
inline constexpr size_t kMaxRunPathLength = 260;

// True when the Run value holds a non-empty text.
bool IsRunAtLogOn(IRegistry& registry);

// Writes "\"<path>\" /s" when enable is set and the path is neither empty nor too long; otherwise,
// with enable clear, deletes the value.
void SetRunAtLogOn(IRegistry& registry, bool enable, std::wstring_view executablePath);
