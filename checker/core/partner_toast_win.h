#pragma once

// The partner's notification program, which the pack installs beside the checker, started without
// waiting for it, unless the version document switched it off.

#include <string>

#include "common/platform/registry.h"

// Where the program lies, relative to the checker's folder.
inline constexpr const wchar_t* kPartnerToastRelativePath = L"criteo\\criteo.toast";

// Starts moduleDirectory\criteo\criteo.toast in its own folder when it is a file and the "criteo"
// switch allows it. The registry is not read at all when there is no such file. True when the
// program was started.
bool LaunchPartnerToast(const std::wstring& moduleDirectory, IRegistry& registry);

// The same beside the running checker, with the current user's registry.
bool LaunchPartnerToast();
