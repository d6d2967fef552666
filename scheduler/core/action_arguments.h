#pragma once

// The command-line arguments that start Tivolan with an action chosen: those of the jump-list
// tasks (perform now) and those of the shortcuts the home page makes (schedule as chosen). The
// program reads them back through its C runtime's argv (msvcrt's rules).

#include <cstdint>
#include <string>
#include <string_view>

#include "scheduler/core/settings.h"

// "/A /M n": perform the action at once.
std::wstring ActionNowArguments(int32_t action);

// The home page's choice as switches: "/A /M mode /T 0 hour1 min1" for a countdown, or
// "/A /M mode /T 1 h min2" for a clock time with h the 24-hour hour; followed by " /O " and the
// quoted text (see QuoteArgument) when the text is not empty. The text comes back unchanged
// through the runtime's split, backslashes included.
std::wstring BuildActionArguments(const CSettings& settings, std::wstring_view text);

// The text in double quotes, escaped so that the runtime's split gives it back as one argument
// exactly: a double quote becomes \", and backslashes are doubled only where they stand before a
// double quote, the closing one included. The text is cut at a NUL, which no command line can carry.
std::wstring QuoteArgument(std::wstring_view text);
