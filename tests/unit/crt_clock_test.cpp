#include "scheduler/core/crt_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "scheduler/core/compute_due.h"
#include "tests/unit/scheduler_fakes.h"

namespace {

using scheduler_test::Utc;

TEST(CCrtClock, RoundTripsALocalTime) {
    const CCrtClock clock;
    const int64_t noon = Utc(2024, 6, 15, 12);
    const std::optional<LocalTime> local = clock.ToLocal(noon);
    ASSERT_TRUE(local);
    EXPECT_EQ(local->year, 2024);
    EXPECT_EQ(local->month, 6);
    EXPECT_EQ(clock.FromLocal(*local), noon);

    // Fields beyond their range carry over as mktime's do.
    LocalTime overflowing = *local;
    overflowing.day += 20;
    overflowing.hour += 30;
    const std::optional<int64_t> later = clock.FromLocal(overflowing);
    ASSERT_TRUE(later);
    EXPECT_EQ(*later - noon, (20 * 24 + 30) * 3600);
}

#ifndef _WIN32
// The real runtime's conversions across both daylight-saving changes, with a zone given as a POSIX
// rule so that no time-zone database is needed.
class CentralEuropeanTime : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* old = std::getenv("TZ"))
            m_saved = old;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (m_saved)
            setenv("TZ", m_saved->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    std::optional<std::string> m_saved;
};

class FixedCrtClock : public CCrtClock {
  public:
    explicit FixedCrtClock(int64_t now) : m_now(now) {}
    int64_t Now() const override { return m_now; }

  private:
    int64_t m_now;
};

TEST_F(CentralEuropeanTime, ConvertsAcrossTheChanges) {
    const CCrtClock clock;
    EXPECT_EQ(clock.FromLocal({2024, 3, 31, 0, 0, 0}), Utc(2024, 3, 30, 23));
    EXPECT_EQ(clock.FromLocal({2024, 3, 31, 10, 0, 0}), Utc(2024, 3, 31, 8));
    EXPECT_EQ(clock.FromLocal({2024, 10, 27, 10, 0, 0}), Utc(2024, 10, 27, 9));
    EXPECT_EQ(clock.ToLocal(Utc(2024, 10, 27, 23, 15)), (LocalTime{2024, 10, 28, 0, 15, 0}));
    EXPECT_EQ(clock.ToLocal(Utc(2024, 3, 31, 1)), (LocalTime{2024, 3, 31, 3, 0, 0}));
}

TEST_F(CentralEuropeanTime, ComputeDueKeepsTheClockTimeOnChangeDays) {
    struct Case {
        int64_t now;
        int64_t seconds;
        int64_t due;
    };
    const Case cases[] = {
        {Utc(2024, 3, 31, 0), 36000, Utc(2024, 3, 31, 8)},            // 01:00 CET -> 10:00 CEST
        {Utc(2024, 10, 26, 23), 36000, Utc(2024, 10, 27, 9)},         // 01:00 CEST -> 10:00 CET
        {Utc(2024, 10, 27, 22, 30), 900, Utc(2024, 10, 27, 23, 15)},  // 23:30 CET -> 00:15 tomorrow
        {Utc(2024, 6, 10, 7, 59, 30), 36000, Utc(2024, 6, 11, 8)},    // 09:59:30 -> tomorrow
        {Utc(2024, 6, 10, 7, 58), 36000, Utc(2024, 6, 10, 8)},        // 09:58:00 -> today
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputeDue(FixedCrtClock(c.now), 1, c.seconds), c.due) << c.now;
}
#endif

}  // namespace
