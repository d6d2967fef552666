#pragma once

// Registers the checker to start silently at every log-on: HKCU ...\Run "qpchk" = "\"<path>\" /s",
// unless the machine-wide Run key already holds a non-empty "qpchk".

#include <cstddef>
#include <string>
#include <string_view>

#include "common/platform/registry.h"

// The longest path a 260-character module-name buffer holds with its NUL.
inline constexpr size_t kMaxCheckerPathLength = 259;

// The Run value's text for the program at exePath.
std::wstring RunAtLogonCommand(std::wstring_view exePath);

// Writes nothing for an empty path, one longer than kMaxCheckerPathLength or one holding a double
// quote or NUL: no program can be started by such a line, and a quote would turn the rest of the path
// into arguments. Failures are ignored.
void EnsureRunAtLogon(IRegistry& registry, std::wstring_view exePath);
