#include "checker/reminder_gate.h"

#include <limits>

#include "checker/checker_keys.h"
#include "checker/checker_values.h"
#include "checker/reminder_period.h"
#include "checker/same_calendar_day.h"
#include "common/text/ascii_case.h"

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// now - then, held at the int64 limits: "checked" is whatever the registry holds, and a difference
// that overflows would otherwise be undefined.
int64_t SaturatingDifference(int64_t now, int64_t then) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    if (then < 0 && now > kMax + then)
        return kMax;
    if (then > 0 && now < kMin + then)
        return kMin;
    return now - then;
}

}  // namespace

GateDecision ReminderGate(IRegistry& registry,
                          const ILocalCalendar& calendar,
                          int64_t now,
                          std::wstring_view mode) {
    const auto key =
        registry.Create(RegistryRoot::CurrentUser, kCheckerStateKeyPath, RegistryAccess::AllAccess);
    if (!key)
        return GateDecision::Pass;

    ReminderPeriod period = ReadReminderPeriod(*key);
    if (period == ReminderPeriod::Never && EqualsIgnoringAsciiCase(mode, L"force"))
        period = ReminderPeriod::Month;
    const int64_t checked = ReadStoredTime(*key, kCheckedValue);
    const int64_t days = SaturatingDifference(now, checked) / kSecondsPerDay;

    bool pass = false;
    switch (period) {
        case ReminderPeriod::Week:
            pass = days >= 7;
            break;
        case ReminderPeriod::Month:
            pass = days >= 30;
            break;
        case ReminderPeriod::Never:
            pass = false;
            break;
        case ReminderPeriod::NextDay:
            pass = checked == 0 || !SameCalendarDay(calendar, checked, now);
            break;
    }
    if (!pass)
        return GateDecision::Hold;
    WriteStoredTime(*key, kCheckedValue, now);
    WriteReminderPeriod(*key, ReminderPeriod::NextDay);
    return GateDecision::Pass;
}
