#include "scheduler/core/action_arguments.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "scheduler/core/power_action.h"
#include "tests/support/command_line_split.h"
#include "tests/unit/awkward_texts.h"

namespace {

CSettings Countdown(int32_t mode, int32_t hours, int32_t minutes) {
    CSettings settings;
    settings.type = TimeKind::After;
    settings.mode = mode;
    settings.hour1 = hours;
    settings.min1 = minutes;
    // The clock-time fields must not leak into a countdown.
    settings.hour2 = 7;
    settings.min2 = 45;
    settings.ampm = 1;
    return settings;
}

CSettings ClockTime(int32_t mode, int32_t hour12, int32_t minute, bool pm, int32_t type = TimeKind::At) {
    CSettings settings;
    settings.type = type;
    settings.mode = mode;
    settings.hour2 = hour12;
    settings.min2 = minute;
    settings.ampm = pm ? 1 : 0;
    settings.hour1 = 9;
    settings.min1 = 59;
    return settings;
}

TEST(ActionNowArguments, NameTheActionOnly) {
    for (int32_t action = PowerAction::ShutDown; action <= PowerAction::LockWindows; ++action)
        EXPECT_EQ(ActionNowArguments(action), L"/A /M " + std::to_wstring(action));
}

TEST(BuildActionArguments, WritesTheChosenActionAndTime) {
    struct Case {
        CSettings settings;
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {Countdown(PowerAction::Sleep, 1, 30), L"", L"/A /M 2 /T 0 1 30"},
        {Countdown(PowerAction::ShutDown, 0, 0), L"", L"/A /M 0 /T 0 0 0"},
        {Countdown(PowerAction::DisplayOff, 100, 5), L"", L"/A /M 4 /T 0 100 5"},
        {ClockTime(PowerAction::Run, 12, 5, true), L"C:\\Tools\\x.exe",
         L"/A /M 8 /T 1 12 5 /O \"C:\\Tools\\x.exe\""},
        {ClockTime(PowerAction::Restart, 12, 0, false), L"", L"/A /M 1 /T 1 0 0"},
        {ClockTime(PowerAction::Restart, 1, 0, false), L"", L"/A /M 1 /T 1 1 0"},
        {ClockTime(PowerAction::Hibernate, 11, 59, true), L"", L"/A /M 3 /T 1 23 59"},
        {ClockTime(PowerAction::LockWindows, 6, 30, true, 5), L"", L"/A /M 6 /T 1 18 30"},
        {ClockTime(PowerAction::Alarm, 9, 15, false), L"Time to \"go\" now",
         L"/A /M 7 /T 1 9 15 /O \"Time to \\\"go\\\" now\""},
        {Countdown(PowerAction::Alarm, 0, 1), L"dir\\", L"/A /M 7 /T 0 0 1 /O \"dir\\\\\""},
        // Registry values are not clamped; the hour must not overflow.
        {ClockTime(PowerAction::Sleep, INT_MAX, 0, true), L"", L"/A /M 2 /T 1 2147483659 0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildActionArguments(c.settings, c.text), c.expected) << c.expected;
}

TEST(BuildActionArguments, TextComesBackThroughTheSplitter) {
    const CSettings settings = ClockTime(PowerAction::Alarm, 12, 5, true);
    for (const std::wstring& text : AwkwardTexts()) {
        const std::vector<std::wstring> expected = {L"/A", L"/M", L"7",  L"/T", L"1",
                                                    L"12", L"5",  L"/O", text};
        EXPECT_EQ(SplitArguments(BuildActionArguments(settings, text)), expected)
            << testing::PrintToString(text);
    }
}

}  // namespace
