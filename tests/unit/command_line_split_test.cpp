#include "tests/support/command_line_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scheduler/core/action_arguments.h"
#include "tests/unit/awkward_texts.h"
#include "tests/unit/split_cases.h"

namespace {

using Arguments = std::vector<std::wstring>;

TEST(SplitArguments, FollowsTheRuntimeRules) {
    for (const SplitCase& c : RuntimeSplitCases())
        EXPECT_EQ(SplitArguments(c.arguments), c.expected)
            << testing::PrintToString(std::wstring(c.arguments));
}

TEST(SplitArguments, StopsAtAnEmbeddedNul) {
    const std::wstring line(L"one \"two\0three\" four", 20);
    EXPECT_EQ(SplitArguments(line), (Arguments{L"one", L"two"}));
}

TEST(SplitCommandLine, ReadsTheProgramNameWithoutBackslashRules) {
    struct LineCase {
        const wchar_t* line;
        Arguments expected;
    };
    const LineCase cases[] = {
        {L"", {L""}},
        {L"prog", {L"prog"}},
        {L"prog /A /M 4", {L"prog", L"/A", L"/M", L"4"}},
        {L"\"C:\\Program Files\\Tivolan\\Tivolan.exe\" /s",
         {L"C:\\Program Files\\Tivolan\\Tivolan.exe", L"/s"}},
        {L"C:\\dir\\\"with space\"\\p.exe x", {L"C:\\dir\\with space\\p.exe", L"x"}},
        {L"\"C:\\a\\\" \"b\\\"c\"", {L"C:\\a\\", L"b\"c"}},
        {L"p\tq", {L"p", L"q"}},
        {L"  leading", {L"", L"leading"}},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.expected)
            << "line: " << testing::PrintToString(std::wstring(c.line));
}

TEST(QuoteArgument, DoublesBackslashesOnlyBeforeAQuote) {
    struct Case {
        std::wstring text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"", L"\"\""},
        {L"C:\\Tools\\x.exe", L"\"C:\\Tools\\x.exe\""},
        {L"a\\b", L"\"a\\b\""},
        {L"Time to \"go\" now", L"\"Time to \\\"go\\\" now\""},
        {L"dir\\", L"\"dir\\\\\""},
        {L"a\\\"b", L"\"a\\\\\\\"b\""},
        {L"\\\\\"", L"\"\\\\\\\\\\\"\""},
        {L"two words", L"\"two words\""},
        {std::wstring(L"cut\0here", 8), L"\"cut\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QuoteArgument(c.text), c.expected) << testing::PrintToString(c.text);
}

TEST(QuoteArgument, EveryTextComesBackUnchanged) {
    std::vector<std::wstring> texts = AwkwardTexts();
    texts.push_back(L"");
    for (const std::wstring& text : texts) {
        EXPECT_EQ(SplitArguments(QuoteArgument(text)), Arguments{text}) << testing::PrintToString(text);
        // Also with neighbours on the same line and as a program name's follower.
        EXPECT_EQ(SplitArguments(L"/O " + QuoteArgument(text) + L" next"), (Arguments{L"/O", text, L"next"}))
            << testing::PrintToString(text);
        EXPECT_EQ(SplitCommandLine(L"\"C:\\p q\\t.exe\" " + QuoteArgument(text)),
                  (Arguments{L"C:\\p q\\t.exe", text}))
            << testing::PrintToString(text);
    }
}

}  // namespace
