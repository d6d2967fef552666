#pragma once

// The texts of the confirmation countdown before shutting down, restarting or hibernating.

#include <cstdint>
#include <optional>
#include <string>

#include "common/platform/string_table.h"

struct CountdownTexts {
    uint32_t iconGroup;
    uint32_t questionId;  // the bold question
    uint32_t formatId;    // "... in %d %s.": seconds left and their unit

    bool operator==(const CountdownTexts&) const = default;
};

// Only shutting down, restarting and hibernating are confirmed; nothing for any other action.
std::optional<CountdownTexts> CountdownTextsFor(int32_t action);

// The countdown line: the action's format filled with the seconds left and "secound" (sic, as the
// table holds it) below 2, "seconds" otherwise. Empty for an action that is never confirmed.
std::wstring CountdownLine(const IStringTable& strings, int32_t action, int32_t secondsLeft);
