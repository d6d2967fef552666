#pragma once

// Whether two stored times fall on the same month and day of the local calendar. The year is not
// compared: a check on 5 March and one on 5 March a year later count as the same day.

#include <cstdint>

#include "checker/core/local_calendar.h"

// A time that has no local date matches no day, not even another such time, so a clock beyond the
// calendar's range cannot stop every later check for good.
bool SameCalendarDay(const ILocalCalendar& calendar, int64_t a, int64_t b);
