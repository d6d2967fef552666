#pragma once

// Where a stored time falls in the local calendar, behind an interface so that the rules over
// calendar days are tested with a time zone of the test's choosing.

#include <cstdint>
#include <optional>

struct CalendarDay {
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31

    bool operator==(const CalendarDay&) const = default;
};

class ILocalCalendar {
  public:
    virtual ~ILocalCalendar() = default;
    // Nothing when the time has no local date.
    virtual std::optional<CalendarDay> DayOf(int64_t time) const = 0;
};
