#pragma once

#include <cstdint>
#include <string>

// One stored repeating task. For After, seconds is the interval; for At, the time of day as seconds
// after local midnight (24-hour). The parameter is the alarm message or the program path.
struct TaskRecord {
    int32_t seconds = 0;
    int32_t kind = 0;
    int32_t action = 0;
    std::wstring parameter;

    bool operator==(const TaskRecord&) const = default;
};
