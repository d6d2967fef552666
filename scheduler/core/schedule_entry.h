#pragma once

#include <cstdint>
#include <string>

// One pending action of the scheduler.
struct ScheduleEntry {
    int32_t taskIndex = -1;  // the stored task this entry repeats, -1 for a one-shot entry
    int64_t due = 0;         // seconds since 1970-01-01 00:00 UTC
    int32_t action = 0;      // PowerAction
    std::wstring parameter;  // alarm message or program path
    // Tells entries apart when the list changes while an action runs (the shell and the
    // confirmation countdown run nested message loops). Unique within one scheduler.
    uint64_t serial = 0;
};

// The list order: earlier due first; at the same second by action, except that Hibernate comes
// before Sleep (the one that is performed wins, and hibernating keeps the session safe on a power
// loss); at the same action the larger task index first, so one-shot entries follow repeating ones.
bool EntryBefore(const ScheduleEntry& a, const ScheduleEntry& b);
