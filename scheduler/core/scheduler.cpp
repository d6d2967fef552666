#include "scheduler/core/scheduler.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "common/text/format.h"
#include "common/time/time_arithmetic.h"
#include "scheduler/core/compute_due.h"
#include "scheduler/core/due_warning.h"
#include "scheduler/core/power_action.h"
#include "scheduler/res/resource.h"

namespace {

constexpr uint32_t kNoticeMilliseconds = 10000;

// Clears the busy flag however the tick ends.
class BusyScope {
  public:
    explicit BusyScope(bool& busy) : m_busy(busy) { m_busy = true; }
    ~BusyScope() { m_busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    bool& m_busy;
};

}  // namespace

CScheduler::CScheduler(CSettings& settings,
                       const IStringTable& strings,
                       const CActionTexts& texts,
                       const SchedulerServices& services)
    : m_settings(settings), m_strings(strings), m_texts(texts), m_services(services) {}

void CScheduler::Add(int32_t kind, int64_t seconds, int32_t action, const std::wstring& text, bool makeTask) {
    // The stored record holds 32 bits: a longer time is kept as the longest one, never wrapped into a
    // negative interval.
    const TaskRecord task{ClampToInt32(seconds), kind, action, text};
    const int64_t due =
        makeTask ? ComputeRepeatDue(m_services.clock, task) : ComputeDue(m_services.clock, kind, seconds);
    const int32_t taskIndex = makeTask ? ClampToInt32(static_cast<int64_t>(m_settings.AddTask(task))) : -1;

    const ScheduleEntry entry{taskIndex, due, action, text};
    Insert(entry);
    // The first entry may have changed: its warnings start afresh from the next tick.
    m_lastRemaining = 0;
    UpdateTrayTip();
    if (kind != TimeKind::After || seconds != 0)
        ShowDueNotice(entry);
    NotifyObservers();
}

void CScheduler::AddStoredTask(size_t taskIndex) {
    const TaskRecord& task = m_settings.Task(taskIndex);
    Insert({ClampToInt32(static_cast<int64_t>(taskIndex)), ComputeRepeatDue(m_services.clock, task),
            task.action, task.parameter});
    m_lastRemaining = 0;
}

void CScheduler::Remove(size_t listIndex) {
    if (listIndex >= m_entries.size())
        throw std::invalid_argument("schedule position out of range");
    const int32_t task = m_entries[listIndex].taskIndex;
    // The stored task goes first: a stale index throws before anything has changed.
    if (task >= 0)
        m_settings.RemoveTask(static_cast<size_t>(task));
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(listIndex));
    if (task >= 0) {
        // Another entry of the same task would now point at its successor.
        std::erase_if(m_entries, [task](const ScheduleEntry& e) { return e.taskIndex == task; });
        for (ScheduleEntry& e : m_entries) {
            if (e.taskIndex > task)
                --e.taskIndex;
        }
    }
    m_lastRemaining = 0;
}

void CScheduler::Tick() {
    if (m_busy)
        return;
    BusyScope busy(m_busy);

    int64_t now = m_services.clock.Now();
    bool fired = false;
    bool processed = false;
    while (!m_entries.empty()) {
        // A copy: the shell and the confirmation countdown run message loops that may change the list.
        const ScheduleEntry entry = m_entries.front();
        if (entry.due > now)
            break;
        if (!fired)
            fired = Perform(entry);
        Retire(entry.serial, now);
        processed = true;
    }

    if (processed) {
        NotifyObservers();
        UpdateTrayTip();
        now = m_services.clock.Now();
        m_lastRemaining = 0;
    }
    if (m_entries.empty())
        return;
    const int32_t remaining = ClampToInt32(SecondsBetween(now, m_entries.front().due));
    ShowWarning(m_lastRemaining, remaining);
    m_lastRemaining = remaining;
}

void CScheduler::UpdateTrayTip() {
    const std::wstring appName = m_strings.Load(IDS_APP_NAME);
    if (m_entries.empty()) {
        m_services.tray.SetTooltip(appName);
        return;
    }
    const ScheduleEntry& first = m_entries.front();
    m_services.tray.SetTooltip(
        FormatText(L"%s - %s %s", {appName, TimeOfDayText(first.due), m_texts.ActionName(first.action)}));
}

void CScheduler::ShowDueNotice(const ScheduleEntry& entry) {
    const std::wstring time = TimeOfDayText(entry.due);
    if (time.empty())
        return;
    ShowToast(
        ReplacePlaceholders(m_strings.Load(IDS_NOTICE_AT), time, m_texts.ActionDescription(entry.action)),
        entry.action);
}

std::wstring CScheduler::DescribeRepeat(const ScheduleEntry& entry) const {
    if (entry.taskIndex < 0)
        return m_strings.Load(IDS_REPEAT_NONE);
    const TaskRecord& task = m_settings.Task(static_cast<size_t>(entry.taskIndex));
    const auto unit = [this](int number, uint32_t singular, uint32_t plural) {
        return m_strings.Load(number < 2 ? singular : plural);
    };
    if (task.kind != TimeKind::After) {
        // A time of a day or more (25:00) is due on a later day at that time of day.
        const int64_t seconds = (int64_t{task.seconds} % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
        return FormatText(m_strings.Load(IDS_REPEAT_DAILY_AT),
                          {m_services.timeFormatter.FormatTimeOfDay(static_cast<int>(seconds / 3600),
                                                                    static_cast<int>(seconds % 3600 / 60))});
    }
    if (task.seconds < 3600) {
        const int minutes = task.seconds / 60;
        return FormatText(m_strings.Load(IDS_REPEAT_EVERY_MINUTES),
                          {minutes, unit(minutes, IDS_UNIT_MIN, IDS_UNIT_MINS)});
    }
    const int hours = task.seconds / 3600;
    const int minutes = task.seconds % 3600 / 60;
    return FormatText(m_strings.Load(IDS_REPEAT_EVERY_HOURS_MINUTES),
                      {hours, unit(hours, IDS_UNIT_HOUR, IDS_UNIT_HOURS), minutes,
                       unit(minutes, IDS_UNIT_MIN, IDS_UNIT_MINS)});
}

void CScheduler::AddObserver(CScheduleChanged* observer) {
    if (observer)
        m_observers.push_back(observer);
}

void CScheduler::RemoveObserver(CScheduleChanged* observer) {
    std::erase(m_observers, observer);
}

void CScheduler::Insert(ScheduleEntry entry) {
    entry.serial = m_nextSerial++;
    Place(std::move(entry));
}

void CScheduler::Place(ScheduleEntry entry) {
    // The list is always in order, so a binary search finds the place: after every entry that does
    // not come later, as a stable sort would put it. Sorting the whole list instead made each stored
    // task at start and each re-armed task cost a sort of the list.
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), entry, EntryBefore);
    m_entries.insert(at, std::move(entry));
}

bool CScheduler::Perform(const ScheduleEntry& entry) {
    switch (entry.action) {
        case PowerAction::ShutDown:
        case PowerAction::Restart:
        case PowerAction::Hibernate:
            return PerformAfterConfirmation(entry.action);
        case PowerAction::Sleep:
            m_services.power.Perform(entry.action);
            return true;
        case PowerAction::Alarm:
            m_services.tray.ShowAlarm(entry.parameter);
            return false;
        case PowerAction::Run:
            m_services.launcher.Start(entry.parameter);
            return false;
        default:
            // Display off, screen saver and lock leave the session running, so later entries still
            // get their turn; unknown codes do nothing.
            m_services.power.Perform(entry.action);
            return false;
    }
}

bool CScheduler::PerformAfterConfirmation(int32_t action) {
    if (!m_settings.confirm) {
        m_services.power.Perform(action);
        return true;
    }
    // A disabled main window also keeps the tray's menu and forwarded requests out while the
    // countdown's message loop runs.
    m_services.tray.EnableMainWindow(false);
    bool confirmed = false;
    try {
        confirmed = m_services.confirmation.Confirm(action);
        if (confirmed)
            m_services.power.Perform(action);
    } catch (...) {
        m_services.tray.EnableMainWindow(true);
        throw;
    }
    m_services.tray.EnableMainWindow(true);
    return confirmed;
}

void CScheduler::Retire(uint64_t serial, int64_t now) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [serial](const ScheduleEntry& e) { return e.serial == serial; });
    if (it == m_entries.end())
        return;  // removed while the action ran
    if (it->taskIndex < 0) {
        m_entries.erase(it);
        return;
    }
    int64_t due;
    try {
        const TaskRecord& task = m_settings.Task(static_cast<size_t>(it->taskIndex));
        // Counted from the moment of rescheduling, so time spent in the confirmation is added. Never
        // due again within this tick, even when the clock was set back while the action ran.
        due = std::max(ComputeRepeatDue(m_services.clock, task), SaturatingAdd(now, 1));
    } catch (const std::exception&) {
        // Its task is gone or has no next time: left at the front, it would block every later tick.
        m_entries.erase(it);
        return;
    }
    ScheduleEntry moved = std::move(*it);
    m_entries.erase(it);
    moved.due = due;
    Place(std::move(moved));
}

void CScheduler::NotifyObservers() {
    // An observer may add or remove observers while it is told; one removed meanwhile may be gone.
    const std::vector<CScheduleChanged*> observers = m_observers;
    for (CScheduleChanged* observer : observers) {
        if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end())
            observer->OnScheduleChanged();
    }
}

void CScheduler::ShowWarning(int32_t lastRemaining, int32_t remaining) {
    const std::optional<DueWarning> warning = ChooseDueWarning(lastRemaining, remaining);
    if (!warning)
        return;
    const int32_t action = m_entries.front().action;
    const std::wstring& description = m_texts.ActionDescription(action);
    const std::wstring format = m_strings.Load(warning->stringId);
    if (warning->stringId == IDS_NOTICE_MINUTES || warning->stringId == IDS_NOTICE_HOURS)
        ShowToast(ReplacePlaceholders(format, std::to_wstring(warning->number), description), action);
    else
        ShowToast(FormatText(format, {description}), action);
}

void CScheduler::ShowToast(const std::wstring& text, int32_t action) {
    m_services.toast.Show(text, m_strings.Load(IDS_APP_NAME), kNoticeMilliseconds,
                          CActionTexts::ActionIcon(action), nullptr);
}

std::wstring CScheduler::TimeOfDayText(int64_t time) const {
    const std::optional<LocalTime> local = m_services.clock.ToLocal(time);
    if (!local)
        return std::wstring();
    return m_services.timeFormatter.FormatTimeOfDay(local->hour, local->minute);
}
