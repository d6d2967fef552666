#include "checker/core/same_calendar_day.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

#include "checker/core/crt_local_calendar.h"
#include "tests/unit/fake_local_calendar.h"

namespace {

constexpr int64_t kNineHours = 9 * 3600;

TEST(SameCalendarDay, ComparesLocalMonthAndDayOnly) {
    const CFakeLocalCalendar calendar(kNineHours);
    const struct {
        const char* name;
        int64_t a;
        int64_t b;
        bool same;
    } cases[] = {
        {"one moment", calendar.At(2024, 3, 5, 10), calendar.At(2024, 3, 5, 10), true},
        {"morning and night", calendar.At(2024, 3, 5, 0, 0, 0), calendar.At(2024, 3, 5, 23, 59, 59), true},
        {"a second either side of midnight", calendar.At(2024, 3, 5, 23, 59, 59),
         calendar.At(2024, 3, 6, 0, 0, 1), false},
        {"a year later", calendar.At(2024, 3, 5, 8), calendar.At(2025, 3, 5, 20), true},
        {"ten years earlier", calendar.At(2024, 3, 5, 8), calendar.At(2014, 3, 5, 1), true},
        {"same day, next month", calendar.At(2024, 3, 5), calendar.At(2024, 4, 5), false},
        {"same month, next day", calendar.At(2024, 3, 5), calendar.At(2024, 3, 6), false},
        {"leap day and the 1st of March", calendar.At(2024, 2, 29, 12), calendar.At(2025, 3, 1, 12), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SameCalendarDay(calendar, c.a, c.b), c.same);
        EXPECT_EQ(SameCalendarDay(calendar, c.b, c.a), c.same);
    }
}

TEST(SameCalendarDay, FollowsTheLocalDateNotTheUtcOne) {
    // 20:00 and 23:00 UTC on 5 March are 05:00 and 08:00 on 6 March nine hours east.
    const CFakeLocalCalendar utc(0);
    const CFakeLocalCalendar east(kNineHours);
    const int64_t evening = utc.At(2024, 3, 5, 20);
    const int64_t lateEvening = utc.At(2024, 3, 5, 23);
    const int64_t morning = utc.At(2024, 3, 5, 8);
    EXPECT_TRUE(SameCalendarDay(utc, morning, evening));
    EXPECT_FALSE(SameCalendarDay(east, morning, evening));
    EXPECT_TRUE(SameCalendarDay(east, evening, lateEvening));
}

TEST(SameCalendarDay, ATimeWithoutADateMatchesNothing) {
    const CFakeLocalCalendar calendar(0, 0, 32535215999);
    const int64_t valid = calendar.At(2024, 1, 1);
    const int64_t beforeRange = -1;
    const int64_t afterRange = std::numeric_limits<int64_t>::max();
    EXPECT_FALSE(SameCalendarDay(calendar, valid, beforeRange));
    EXPECT_FALSE(SameCalendarDay(calendar, afterRange, valid));
    // Both without a date would be "month 0, day 0" twice; they still do not count as one day.
    EXPECT_FALSE(SameCalendarDay(calendar, beforeRange, afterRange));
    EXPECT_FALSE(SameCalendarDay(calendar, afterRange, afterRange));
}

// The runtime's conversion in a zone nine hours east of UTC without daylight saving, given as a POSIX
// rule (which both runtimes read from TZ).
class CrtLocalCalendarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* old = std::getenv("TZ"))
            m_saved = old;
        SetZone("KST-9");
    }
    void TearDown() override {
        if (m_saved)
            SetZone(m_saved->c_str());
        else
            ClearZone();
    }

  private:
    static void SetZone(const char* zone) {
#ifdef _WIN32
        _putenv_s("TZ", zone);
        _tzset();
#else
        setenv("TZ", zone, 1);
        tzset();
#endif
    }
    static void ClearZone() {
#ifdef _WIN32
        _putenv_s("TZ", "");
        _tzset();
#else
        unsetenv("TZ");
        tzset();
#endif
    }

    std::optional<std::string> m_saved;
};

TEST_F(CrtLocalCalendarTest, GivesTheLocalMonthAndDay) {
    const CCrtLocalCalendar calendar;
    const CFakeLocalCalendar utc(0);
    // 14:59:59 UTC is a second before midnight nine hours east.
    const int64_t beforeMidnight = utc.At(2024, 3, 5, 14, 59, 59);
    EXPECT_EQ(calendar.DayOf(beforeMidnight), (CalendarDay{3, 5}));
    EXPECT_EQ(calendar.DayOf(beforeMidnight + 2), (CalendarDay{3, 6}));
    EXPECT_EQ(calendar.DayOf(utc.At(2023, 12, 31, 15)), (CalendarDay{1, 1}));
    EXPECT_FALSE(SameCalendarDay(calendar, beforeMidnight, beforeMidnight + 2));
    EXPECT_TRUE(SameCalendarDay(calendar, beforeMidnight, utc.At(2025, 3, 4, 15, 0, 1)));
}

TEST_F(CrtLocalCalendarTest, TimesBeyondTheRuntimesRangeHaveNoDate) {
    const CCrtLocalCalendar calendar;
    EXPECT_FALSE(calendar.DayOf(std::numeric_limits<int64_t>::max()).has_value());
    EXPECT_FALSE(calendar.DayOf(std::numeric_limits<int64_t>::min()).has_value());
}

}  // namespace
