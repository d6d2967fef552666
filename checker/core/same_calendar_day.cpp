#include "checker/core/same_calendar_day.h"

#include <optional>

bool SameCalendarDay(const ILocalCalendar& calendar, int64_t a, int64_t b) {
    const std::optional<CalendarDay> first = calendar.DayOf(a);
    const std::optional<CalendarDay> second = calendar.DayOf(b);
    return first && second && *first == *second;
}
