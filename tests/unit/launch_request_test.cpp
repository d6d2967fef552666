#include "scheduler/core/launch_request.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "scheduler/core/action_arguments.h"
#include "tests/support/command_line_split.h"
#include "tests/unit/awkward_texts.h"

// Each case names only what it expects to differ from a plain start.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

struct Expected {
    bool silent = false;
    bool autoStart = false;
    int32_t kind = 0;
    int32_t seconds = 0;
    int32_t action = 0;
    std::wstring text;
    LaunchCommand command = LaunchCommand::Start;
    bool pin = false;
};

void ExpectParsed(const ParsedCommandLine& parsed, const Expected& e, const std::wstring& line) {
    const LaunchRequest& r = parsed.request;
    EXPECT_EQ(r.silent, e.silent) << line;
    EXPECT_EQ(r.autoStart, e.autoStart) << line;
    EXPECT_EQ(r.kind, e.kind) << line;
    EXPECT_EQ(r.seconds, e.seconds) << line;
    EXPECT_EQ(r.action, e.action) << line;
    EXPECT_EQ(r.text, e.text) << line;
    EXPECT_EQ(parsed.command, e.command) << line;
    EXPECT_EQ(parsed.pin, e.pin) << line;
}

TEST(ParseLaunchArguments, SwitchesAndTheirOperands) {
    struct Case {
        const wchar_t* line;
        Expected expected;
    };
    const Case cases[] = {
        {L"", {}},
        {L"/s", {.silent = true}},
        {L"/S", {.silent = true}},
        {L"/A", {.autoStart = true}},
        {L"/a /m 4", {.autoStart = true, .action = 4}},
        {L"/A /M 1 /T 1 23 30", {.autoStart = true, .kind = 1, .seconds = 84600, .action = 1}},
        {L"/A /M 2 /T 0 1 30", {.autoStart = true, .seconds = 5400, .action = 2}},
        {L"/t 1 7", {.kind = 1, .seconds = 25200}},
        {L"/T 1", {.kind = 1}},
        {L"/S /T 1 2 3 /T", {.silent = true}},  // a bare /T at the end resets all three
        // The operands are the next arguments whatever they look like.
        {L"/T /M 3", {.seconds = 10800}},
        {L"/T /A /S 5 /A", {.autoStart = true, .seconds = 300}},
        {L"/M 3", {.action = 3}},
        {L"/M 3 /M", {.action = 3}},  // a missing operand ends the parse ...
        {L"/M", {}},
        {L"/O a /O", {.text = L"a"}},  // ... and leaves the text
        {L"/O /A", {.text = L"/A"}},
        {L"/A /M 7 /O \"Tea time\" /O \"later\"", {.autoStart = true, .action = 7, .text = L"later"}},
        {L"/M 8 /M 2", {.action = 2}},
        {L"/T 1 1 0 /T 0 0 5", {.seconds = 300}},
        // Unknown arguments are skipped; only whole switch names count.
        {L"hello /Sx -S /ss /A", {.autoStart = true}},
        {L"/Z /M 5", {.action = 5}},
        // Numbers as the C runtime reads them.
        {L"/M \" 6\"", {.action = 6}},
        {L"/M +5", {.action = 5}},
        {L"/M -1", {.action = -1}},
        {L"/M 3x", {.action = 3}},
        {L"/M x3", {}},
        {L"/M 0x10", {}},
        {L"/T 1 -1 30", {.kind = 1, .seconds = -1800}},
        // Ending the process: nothing after the switch is read.
        {L"/I /A /S", {.command = LaunchCommand::RegisterJumpList}},
        {L"/S /u /A", {.silent = true, .command = LaunchCommand::UnregisterJumpList}},
        {L"/A /M 2 /X /M 4", {.autoStart = true, .action = 2, .command = LaunchCommand::ExitRunning}},
        {L"/M /X", {}},  // /X is the operand of /M here
        // Pinning comes first and parsing goes on.
        {L"/P /A", {.autoStart = true, .pin = true}},
        {L"/p /I", {.command = LaunchCommand::RegisterJumpList, .pin = true}},
        {L"/X /P", {.command = LaunchCommand::ExitRunning}},
    };
    for (const Case& c : cases)
        ExpectParsed(ParseLaunchArguments(SplitArguments(c.line)), c.expected, c.line);
}

TEST(ParseLaunchArguments, ReadsBackWhatTheProgramWrites) {
    // The shortcut arguments of the home page, for each awkward alarm text.
    CSettings settings;
    settings.type = 1;
    settings.mode = 7;
    settings.hour2 = 11;
    settings.min2 = 45;
    settings.ampm = 1;
    for (const std::wstring& text : AwkwardTexts()) {
        const ParsedCommandLine parsed =
            ParseLaunchArguments(SplitArguments(BuildActionArguments(settings, text)));
        ExpectParsed(
            parsed, {.autoStart = true, .kind = 1, .seconds = (23 * 60 + 45) * 60, .action = 7, .text = text},
            text);
    }
    for (int32_t action = 0; action <= 6; ++action)
        ExpectParsed(ParseLaunchArguments(SplitArguments(ActionNowArguments(action))),
                     {.autoStart = true, .action = action}, ActionNowArguments(action));
}

TEST(ParseLaunchArguments, SecondsAreClampedNotWrapped) {
    struct Case {
        const wchar_t* line;
        int32_t seconds;
    };
    const Case cases[] = {
        {L"/T 0 596523 14", 596523 * 3600 + 14 * 60},  // the largest that fits
        {L"/T 0 596523 15", INT32_MAX},
        {L"/T 0 999999 0", INT32_MAX},
        {L"/T 0 2147483647 2147483647", INT32_MAX},
        {L"/T 0 99999999999999999999 0", INT32_MAX},
        {L"/T 0 0 35791394", 35791394 * 60},
        {L"/T 0 0 35791395", INT32_MAX},
        {L"/T 0 -999999 0", INT32_MIN},
        {L"/T 0 -2147483648 -2147483648", INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLaunchArguments(SplitArguments(c.line)).request.seconds, c.seconds) << c.line;
}

TEST(ReadCommandLineNumber, FollowsTheRuntimeAndClamps) {
    struct Case {
        std::wstring text;
        int32_t value;
    };
    const Case cases[] = {
        {L"0", 0},
        {L"42", 42},
        {L"  \t\r\n\v\f17", 17},
        {L"-8", -8},
        {L"+8", 8},
        {L"--8", 0},
        {L"- 8", 0},
        {L"8 9", 8},
        {L"12abc", 12},
        {L"", 0},
        {L"abc", 0},
        {L"\u0663", 0},  // digits of other scripts are not decimal digits here
        {L"00000000000000000000000007", 7},
        {L"2147483647", INT32_MAX},
        {L"2147483648", INT32_MAX},
        {L"4294967297", INT32_MAX},  // would wrap to 1
        {L"-2147483648", INT32_MIN},
        {L"-2147483649", INT32_MIN},
        {L"-99999999999999999999999999", INT32_MIN},
        {std::wstring(L"5\0"
                      L"5",
                      3),
         5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadCommandLineNumber(c.text), c.value) << testing::PrintToString(c.text);
}

TEST(ShowsMainWindow, OnlyWithoutActionAndWithoutSilentStart) {
    EXPECT_TRUE(ShowsMainWindow(ParseLaunchArguments({}).request));
    EXPECT_TRUE(ShowsMainWindow(ParseLaunchArguments({L"/M", L"3"}).request));
    EXPECT_FALSE(ShowsMainWindow(ParseLaunchArguments({L"/s"}).request));
    EXPECT_FALSE(ShowsMainWindow(ParseLaunchArguments({L"/A"}).request));
}

}  // namespace
