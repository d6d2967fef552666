// The scheduler's platform adapters against Wine: the C runtime's clock, the thread locale's time
// format and the shell's program start.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "scheduler/core/compute_due.h"
#include "scheduler/core/crt_clock.h"
#include "scheduler/core/program_launcher_win.h"
#include "scheduler/core/time_formatter_win.h"
#include "tests/wine/test_support.h"

namespace {

// Switches the thread locale for one test and back.
class ThreadLocale {
  public:
    explicit ThreadLocale(LCID locale) : m_saved(GetThreadLocale()) { SetThreadLocale(locale); }
    ~ThreadLocale() { SetThreadLocale(m_saved); }
    ThreadLocale(const ThreadLocale&) = delete;
    ThreadLocale& operator=(const ThreadLocale&) = delete;

  private:
    LCID m_saved;
};

std::wstring TimeFormatOf(LCID locale) {
    wchar_t format[80] = {};
    GetLocaleInfoW(locale, LOCALE_STIMEFORMAT, format, 80);
    return format;
}

TEST(CWin32TimeFormatter, FollowsTheThreadLocaleWithoutSeconds) {
    const CWin32TimeFormatter formatter;
    {
        ThreadLocale english(MAKELCID(0x409, SORT_DEFAULT));
        EXPECT_EQ(formatter.FormatTimeOfDay(23, 5), L"11:05 PM");
        EXPECT_EQ(formatter.FormatTimeOfDay(0, 0), L"12:00 AM");
        EXPECT_EQ(formatter.FormatTimeOfDay(10, 0), L"10:00 AM");
    }
    {
        ThreadLocale german(MAKELCID(0x407, SORT_DEFAULT));
        ASSERT_EQ(TimeFormatOf(MAKELCID(0x407, SORT_DEFAULT)), L"HH:mm:ss");
        EXPECT_EQ(formatter.FormatTimeOfDay(23, 5), L"23:05");
        EXPECT_EQ(formatter.FormatTimeOfDay(7, 9), L"07:09");
    }
    {
        // Korean puts the afternoon designator first ("tt h:mm").
        const LCID koreanLocale = MAKELCID(0x412, SORT_DEFAULT);
        ThreadLocale korean(koreanLocale);
        wchar_t pm[32] = {};
        ASSERT_GT(GetLocaleInfoW(koreanLocale, LOCALE_S2359, pm, 32), 1);
        EXPECT_EQ(formatter.FormatTimeOfDay(23, 5), std::wstring(pm) + L" 11:05");
    }
}

TEST(CWin32TimeFormatter, GivesNothingForATimeThatIsNone) {
    const CWin32TimeFormatter formatter;
    EXPECT_EQ(formatter.FormatTimeOfDay(24, 0), L"");
    EXPECT_EQ(formatter.FormatTimeOfDay(12, 60), L"");
    EXPECT_EQ(formatter.FormatTimeOfDay(-1, 0), L"");
}

TEST(CCrtClock, AgreesWithWindowsLocalTime) {
    const CCrtClock clock;
    std::optional<LocalTime> local;
    SYSTEMTIME windows{};
    // Read again when a second boundary fell between the two readings.
    for (int attempt = 0; attempt < 3; ++attempt) {
        GetLocalTime(&windows);
        local = clock.ToLocal(clock.Now());
        ASSERT_TRUE(local);
        if (local->second == windows.wSecond)
            break;
    }
    EXPECT_EQ(local->year, windows.wYear);
    EXPECT_EQ(local->month, windows.wMonth);
    EXPECT_EQ(local->day, windows.wDay);
    EXPECT_EQ(local->hour, windows.wHour);
    EXPECT_EQ(local->minute, windows.wMinute);
}

TEST(CCrtClock, FindsTodaysLocalMidnight) {
    const CCrtClock clock;
    const int64_t now = clock.Now();
    const std::optional<LocalTime> today = clock.ToLocal(now);
    ASSERT_TRUE(today);
    const std::optional<int64_t> midnight = clock.FromLocal({today->year, today->month, today->day, 0, 0, 0});
    ASSERT_TRUE(midnight);
    EXPECT_LE(*midnight, now);
    EXPECT_LT(now - *midnight, 25 * 3600);
    EXPECT_EQ(clock.ToLocal(*midnight), (LocalTime{today->year, today->month, today->day, 0, 0, 0}));

    // A clock time two minutes ahead is today's (or, just before midnight, tomorrow's same moment).
    const int64_t secondsToday = today->hour * 3600 + today->minute * 60 + today->second;
    const int64_t due = ComputeDue(clock, 1, secondsToday + 120);
    EXPECT_GE(due - now, 119);
    EXPECT_LE(due - now, 121);
}

TEST(CShellProgramLauncher, StartsAProgramAndReportsAMissingOne) {
    CScratchDirectory scratch;
    const std::wstring marker = scratch / L"started.txt";
    const std::wstring script = scratch / L"start.bat";
    ASSERT_TRUE(WriteTextFile(script, "@echo started> \"%~dp0started.txt\"\r\n"));

    CShellProgramLauncher launcher;
    EXPECT_TRUE(launcher.Start(script));
    bool started = false;
    for (int i = 0; i < 500 && !started; ++i) {
        started = PathExists(marker);
        if (!started)
            Sleep(20);
    }
    EXPECT_TRUE(started);
    Sleep(200);  // let the command interpreter let go of the folder before it is removed

    EXPECT_FALSE(launcher.Start(scratch / L"missing.exe"));
}

}  // namespace
