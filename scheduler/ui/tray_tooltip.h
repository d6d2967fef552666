#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The notification area's tooltip field holds 128 UTF-16 units with its NUL.
constexpr size_t kTrayTooltipUnits = 128;

// The tooltip as it fits the field: at most 127 UTF-16 units, never half of a surrogate pair, and
// ending at a NUL, since the field ends there.
std::wstring TrayTooltipText(std::wstring_view text);
