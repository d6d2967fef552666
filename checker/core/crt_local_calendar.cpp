#include "checker/core/crt_local_calendar.h"

#include "common/time/crt_local_time.h"

std::optional<CalendarDay> CCrtLocalCalendar::DayOf(int64_t time) const {
    const std::optional<std::tm> fields = CrtLocalTime(time);
    if (!fields)
        return std::nullopt;
    return CalendarDay{fields->tm_mon + 1, fields->tm_mday};
}
