#pragma once

// The local calendar of the C runtime, which follows the process's time zone (TZ when it is set,
// otherwise the system's).

#include "checker/core/local_calendar.h"

class CCrtLocalCalendar : public ILocalCalendar {
  public:
    std::optional<CalendarDay> DayOf(int64_t time) const override;
};
