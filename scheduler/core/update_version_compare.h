#pragma once

// Dotted version numbers as the update endpoint and the version resource write them.

#include <string_view>

// -1, 0 or 1 as `a` is older than, the same as or newer than `b`. Pieces are separated by runs of
// ".", "," and " "; a piece counts by its leading digits (none counts as 0), of any length, and a
// version that runs out of pieces first is the older one ("1.2" before "1.2.0").
int CompareVersions(std::wstring_view a, std::wstring_view b);
