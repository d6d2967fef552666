#pragma once

// A local calendar at a fixed offset from UTC, with a range outside which times have no date (as the
// Windows runtime has none before 1970 or after 3000), so calendar-day rules are tested without
// depending on the machine's time zone.

#include <cstdint>
#include <limits>
#include <optional>

#include "checker/core/local_calendar.h"

class CFakeLocalCalendar : public ILocalCalendar {
  public:
    explicit CFakeLocalCalendar(int64_t offsetSeconds,
                                int64_t first = 0,
                                int64_t last = std::numeric_limits<int64_t>::max() / 2)
        : m_offset(offsetSeconds), m_first(first), m_last(last) {}

    std::optional<CalendarDay> DayOf(int64_t time) const override {
        if (time < m_first || time > m_last)
            return std::nullopt;
        const int64_t local = time + m_offset;
        int64_t days = local / 86400;
        if (local % 86400 < 0)
            --days;
        const Civil date = CivilFromDays(days);
        return CalendarDay{date.month, date.day};
    }

    // The stored time of a local date and clock time in this calendar.
    int64_t At(int64_t year, int month, int day, int hour = 0, int minute = 0, int second = 0) const {
        return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - m_offset;
    }

  private:
    struct Civil {
        int64_t year;
        int month;
        int day;
    };

    // Days since 1970-01-01 of a proleptic Gregorian date, and back (the era-based formulas).
    static int64_t DaysFromCivil(int64_t year, int month, int day) {
        year -= month <= 2 ? 1 : 0;
        const int64_t era = (year >= 0 ? year : year - 399) / 400;
        const int64_t yearOfEra = year - era * 400;
        const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
        const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
        return era * 146097 + dayOfEra - 719468;
    }

    static Civil CivilFromDays(int64_t days) {
        days += 719468;
        const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
        const int64_t dayOfEra = days - era * 146097;
        const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
        const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
        const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
        const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
        return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
    }

    int64_t m_offset;
    int64_t m_first;
    int64_t m_last;
};
