#pragma once

// The list of pending actions, kept in due order, and the one-second tick that performs them,
// reschedules repeating tasks and announces the next action. Everything runs on the user-interface
// thread; the tick can only be re-entered from a nested message loop, which the busy flag turns
// into a no-op.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/platform/string_table.h"
#include "scheduler/core/action_texts.h"
#include "scheduler/core/schedule_changed.h"
#include "scheduler/core/schedule_entry.h"
#include "scheduler/core/scheduler_services.h"
#include "scheduler/core/settings.h"

class CScheduler {
  public:
    CScheduler(CSettings& settings,
               const IStringTable& strings,
               const CActionTexts& texts,
               const SchedulerServices& services);
    CScheduler(const CScheduler&) = delete;
    CScheduler& operator=(const CScheduler&) = delete;

    // Schedules an action. kind is a TimeKind, seconds the countdown length or the clock time in
    // seconds after local midnight. With makeTask the action is also appended to the stored tasks
    // as a repeating task; the caller saves the settings with tasks afterwards.
    void Add(int32_t kind, int64_t seconds, int32_t action, const std::wstring& text, bool makeTask);
    // Schedules stored task taskIndex, silently. Throws std::invalid_argument for a missing task.
    void AddStoredTask(size_t taskIndex);
    // Removes the entry at a list position, with its stored task if it repeats. No observer is told:
    // the caller redraws, updates the tooltip and saves the settings with tasks.
    // Throws std::invalid_argument for a position beyond the list.
    void Remove(size_t listIndex);
    // The one-second step.
    void Tick();
    void UpdateTrayTip();

    const std::vector<ScheduleEntry>& Entries() const { return m_entries; }

    // The "$2 at $1." toast for an entry; nothing for a due time beyond the calendar.
    void ShowDueNotice(const ScheduleEntry& entry);
    // A moment's local time of day in the user's format, without seconds (the schedule page's Time
    // column, the notices and the tooltip). Empty when the time has no local breakdown.
    std::wstring TimeOfDayText(int64_t time) const;
    // The schedule page's Repeat column. Throws std::invalid_argument for a missing task.
    std::wstring DescribeRepeat(const ScheduleEntry& entry) const;

    // Observers are not owned. One that goes before the scheduler removes itself first.
    void AddObserver(CScheduleChanged* observer);
    void RemoveObserver(CScheduleChanged* observer);

  private:
    // Gives the entry a serial and puts it in its place in the list.
    void Insert(ScheduleEntry entry);
    void Place(ScheduleEntry entry);
    // Performs one due entry; true when it was a power action that was carried out ("fired").
    bool Perform(const ScheduleEntry& entry);
    bool PerformAfterConfirmation(int32_t action);
    // Removes a performed one-shot entry or moves a repeating one to its next time.
    void Retire(uint64_t serial, int64_t now);
    void NotifyObservers();
    void ShowWarning(int32_t lastRemaining, int32_t remaining);
    void ShowToast(const std::wstring& text, int32_t action);

    CSettings& m_settings;
    const IStringTable& m_strings;
    const CActionTexts& m_texts;
    SchedulerServices m_services;

    std::vector<ScheduleEntry> m_entries;
    bool m_busy = false;
    int32_t m_lastRemaining = 0;  // 0: no previous tick to compare with
    std::vector<CScheduleChanged*> m_observers;
    uint64_t m_nextSerial = 1;
};
