#pragma once

#include <cstdint>
#include <optional>

// A notice that the next action is near: one of the strings 156-159 and, for the "$" texts 157 and
// 159, the number that replaces "$1".
struct DueWarning {
    uint32_t stringId = 0;
    int32_t number = 0;

    bool operator==(const DueWarning&) const = default;
};

// The notice to show when the seconds left until the first entry went from lastRemaining (the
// previous tick; 0 or less when there is none) to remaining. A notice comes on the first tick at
// which the whole minutes left drop to or below a threshold (30, 10, 5, 3, 2, 1 minutes and whole
// hours) while the previous tick was above it.
std::optional<DueWarning> ChooseDueWarning(int32_t lastRemaining, int32_t remaining);
