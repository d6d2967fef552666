#include "checker/core/check_start.h"

#include <gtest/gtest.h>

#include "checker/core/checker_language.h"
#include "tests/unit/fake_local_calendar.h"

namespace {

const CFakeLocalCalendar kCalendar(-5 * 3600);
const int64_t kNow = kCalendar.At(2024, 11, 3, 8, 15);

TEST(CheckStart, DecidesByTheLastFetchTheConnectionAndTheWorker) {
    struct Case {
        const char* name;
        int64_t loaded;
        bool online;
        bool running;
        bool startSucceeds;
        bool done;
        bool started;
        int64_t loadedAfter;
    } const cases[] = {
        {"never fetched", 0, true, false, true, true, true, kNow},
        {"fetched earlier today", kCalendar.At(2024, 11, 3, 0, 1), true, false, true, true, false,
         kCalendar.At(2024, 11, 3, 0, 1)},
        {"fetched today, offline", kCalendar.At(2024, 11, 3, 7), false, false, true, true, false,
         kCalendar.At(2024, 11, 3, 7)},
        {"fetched on this day a year ago", kCalendar.At(2023, 11, 3, 7), true, false, true, true, false,
         kCalendar.At(2023, 11, 3, 7)},
        {"fetched yesterday", kCalendar.At(2024, 11, 2, 23, 59, 59), true, false, true, true, true, kNow},
        {"offline", 0, false, false, true, false, false, 0},
        {"offline, fetched yesterday", kCalendar.At(2024, 11, 2, 12), false, false, true, false, false,
         kCalendar.At(2024, 11, 2, 12)},
        {"worker still running", 0, true, true, true, false, false, 0},
        {"worker cannot start", 0, true, false, false, true, true, kNow},
        {"a fetch time with no date", -1, true, false, true, true, true, kNow},
    };
    const CFakeLocalCalendar calendar(-5 * 3600, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int starts = 0;
        int onlineQueries = 0;
        const CheckStartServices services{
            calendar,
            [] { return kNow; },
            [&] {
                ++onlineQueries;
                return c.online;
            },
            [&] { return c.running; },
            [&] {
                ++starts;
                return c.startSucceeds;
            },
        };
        int64_t loaded = c.loaded;
        EXPECT_EQ(TryStartCheck(services, loaded), c.done);
        EXPECT_EQ(starts, c.started ? 1 : 0);
        EXPECT_EQ(loaded, c.loadedAfter);
        if (c.loaded != 0 && calendar.DayOf(c.loaded) == calendar.DayOf(kNow)) {
            EXPECT_EQ(onlineQueries, 0) << "a fetch today needs no connection";
        }
    }
}

TEST(CheckerLanguage, EveryKoreanVariantGetsKoreanAndAllOthersEnglish) {
    struct Case {
        uint16_t userLanguage;
        uint16_t resources;
    } const cases[] = {
        {0x0412, kCheckerKorean},  {0x0812, kCheckerKorean},  {0x0012, kCheckerKorean},
        {0x0409, kCheckerEnglish}, {0x0809, kCheckerEnglish}, {0x0411, kCheckerEnglish},
        {0x0408, kCheckerEnglish}, {0x0000, kCheckerEnglish}, {0x0400 | 0x12, kCheckerKorean},
        {0x0413, kCheckerEnglish}, {0x1012, kCheckerKorean},  {0x0212, kCheckerEnglish},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.userLanguage);
        EXPECT_EQ(CheckerResourceLanguage(c.userLanguage), c.resources);
    }
}

}  // namespace
