#include "checker/core/checker_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CheckerCommandLine, TheFirstDecidingArgumentChoosesTheMode) {
    using Mode = CheckerMode;
    struct Case {
        std::vector<std::wstring> arguments;
        CheckerMode mode;
        std::wstring text;
    } const cases[] = {
        {{}, Mode::Interactive, L""},
        {{L"/s"}, Mode::Background, L""},
        {{L"/S"}, Mode::Background, L""},
        {{L"/sx"}, Mode::Interactive, L""},
        {{L"/sx", L"/s"}, Mode::Background, L""},
        {{L"s"}, Mode::Interactive, L""},
        {{L"-s"}, Mode::Interactive, L""},
        {{L"/s "}, Mode::Interactive, L""},
        {{L"/q"}, Mode::Quit, L""},
        {{L"/Q"}, Mode::Quit, L""},
        {{L"/quit"}, Mode::Interactive, L""},
        {{L"/install"}, Mode::InstallReport, L"nstall"},
        {{L"/I?a=1&b=2"}, Mode::InstallReport, L"?a=1&b=2"},
        {{L"/i"}, Mode::InstallReport, L""},
        {{L"/i /s"}, Mode::InstallReport, L" /s"},
        {{L"/u"}, Mode::Uninstall, L""},
        {{L"/Uninstall"}, Mode::Uninstall, L""},
        {{L"/"}, Mode::Interactive, L""},
        {{L""}, Mode::Interactive, L""},
        {{L"\\s"}, Mode::Interactive, L""},
        // Later arguments are never looked at once one has decided.
        {{L"/q", L"/s"}, Mode::Quit, L""},
        {{L"/s", L"/q"}, Mode::Background, L""},
        {{L"/ix", L"/s"}, Mode::InstallReport, L"x"},
        {{L"/u", L"/iy"}, Mode::Uninstall, L""},
        {{L"x", L"", L"/Q", L"/u"}, Mode::Quit, L""},
        {{L"extra", L"/iReport"}, Mode::InstallReport, L"Report"},
        // Only ASCII letters fold: a dotted capital I is no switch.
        {{L"/\x0130x"}, Mode::Interactive, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        const CheckerCommand command = ParseCheckerCommandLine(c.arguments);
        EXPECT_EQ(command.mode, c.mode);
        EXPECT_EQ(command.text, c.text);
    }
}

TEST(CheckerCommandLine, TheReportTextKeepsEveryCharacterAfterTheSwitch) {
    const std::wstring text = L"?id=\x00E9t\x00E9&x= \"quoted\"\x4E2D";
    EXPECT_EQ(ParseCheckerCommandLine({L"/i" + text}), (CheckerCommand{CheckerMode::InstallReport, text}));
}

}  // namespace
