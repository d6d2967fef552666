#include "checker/core/reminder_gate.h"

#include "checker/core/checker_keys.h"
#include "checker/core/checker_values.h"
#include "checker/core/reminder_period.h"
#include "checker/core/same_calendar_day.h"
#include "common/text/ascii_case.h"
#include "common/time/time_arithmetic.h"

namespace {

constexpr int64_t kSecondsPerDay = 86400;

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
    // "checked" is whatever the registry holds: the difference saturates rather than overflow.
    const int64_t days = SecondsBetween(checked, now) / kSecondsPerDay;

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
