#include "checker/crt_local_calendar.h"

#include <ctime>
#include <limits>

std::optional<CalendarDay> CCrtLocalCalendar::DayOf(int64_t time) const {
    std::tm fields{};
#ifdef _WIN32
    // The Windows runtime converts 1970 to 3000 and fails outside.
    const __time64_t value = time;
    if (_localtime64_s(&fields, &value) != 0)
        return std::nullopt;
#else
    if (time < std::numeric_limits<time_t>::min() || time > std::numeric_limits<time_t>::max())
        return std::nullopt;
    const time_t value = static_cast<time_t>(time);
    if (!localtime_r(&value, &fields))
        return std::nullopt;
#endif
    return CalendarDay{fields.tm_mon + 1, fields.tm_mday};
}
