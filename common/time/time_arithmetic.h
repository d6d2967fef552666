#pragma once

// Arithmetic on 64-bit seconds that saturates instead of wrapping: a countdown of a million hours is
// simply far away, never negative or "due now".

#include <cstdint>
#include <limits>

inline int64_t SaturatingAdd(int64_t a, int64_t b) {
    int64_t sum;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    return sum;
}

inline int64_t SecondsBetween(int64_t from, int64_t to) {
    int64_t difference;
    if (__builtin_sub_overflow(to, from, &difference))
        return to > from ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    return difference;
}

inline int32_t ClampToInt32(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}
