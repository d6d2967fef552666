#pragma once

// Tivolan's settings record: a mirror of HKEY_CURRENT_USER\Software\Tivolan, with the stored
// repeating tasks. One process-wide instance is loaded on first use; every window reads and
// writes it, and each change is saved when it is made (the program does not save on exit).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/platform/registry.h"
#include "scheduler/core/task_record.h"

class CSettings {
  public:
    // Fields with their defaults (used when a value is missing or has the wrong type or size).
    int32_t hour1 = 0;              // "Hour1": hours of the After countdown
    int32_t min1 = 30;              // "Min1"
    int32_t hour2 = 12;             // "Hour2": hour of the At time, 12-hour clock
    int32_t min2 = 0;               // "Min2"
    int32_t type = 0;               // "Type": TimeKind chosen on the home page
    int32_t ampm = 0;               // "AMPM": 0 AM, otherwise PM
    bool forceIfHung = false;       // "ForceIfHung"
    int32_t mode = 0;               // "Mode": PowerAction chosen on the home page
    bool confirm = true;            // "Confirm"
    std::wstring lang;              // "Lang": language the jump list was last built in
    std::wstring setLang;           // "SetLang": language chosen for the next start
    int64_t lastUpdateCheck = 0;    // "Update": seconds since 1970 UTC
    std::vector<TaskRecord> tasks;  // "Task" and "TaskParam%d"
    size_t storedTaskCount = 0;     // "TaskParam%d" values the registry held after the last load or task save
    int32_t alarmSound = 1;         // "AlarmSound": -1 file, 0 none, 1 system default
    std::wstring soundFile;         // "SoundFile"

    // Resets every field to its default, then reads what the registry holds. osVersionClass is
    // GetOsVersionClass(): ForceIfHung is cleared below Windows 2000.
    void Load(IRegistry& registry, uint32_t osVersionClass);
    // Writes the fields; the task list only when withTasks.
    void Save(IRegistry& registry, bool withTasks);
    // Sets the calling thread's locale and UI language and the C runtime's locale from setLang.
    void ApplyLanguage() const;

    // The seconds of the home page's choice: the countdown length for After, otherwise the At time
    // as seconds after local midnight. 64-bit, since hour1 is not clamped when read from the registry.
    int64_t ScheduleSeconds() const;

    // Appends a task and returns its index.
    size_t AddTask(const TaskRecord& task);
    // Removes the task at `index`; later tasks move down by one. Throws std::invalid_argument when
    // the index is out of range.
    void RemoveTask(size_t index);
    // Throws std::invalid_argument when the index is out of range.
    const TaskRecord& Task(size_t index) const;
    size_t TaskCount() const { return tasks.size(); }
};

// The registry key of the settings, under HKEY_CURRENT_USER.
inline constexpr const wchar_t* kSettingsKeyPath = L"Software\\Tivolan";
