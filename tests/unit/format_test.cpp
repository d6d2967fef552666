#include "common/text/format.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatText, FillsWideStringsAndNumbersInTurn) {
    EXPECT_EQ(FormatText(L"it must be closed with </%s>", {L"version"}),
              L"it must be closed with </version>");
    EXPECT_EQ(FormatText(L"'<%s> ... </%s>'", {L"a", std::wstring(L"A")}), L"'<a> ... </A>'");
    EXPECT_EQ(FormatText(L"%d minutes, %ls", {5, L"ok"}), L"5 minutes, ok");
    EXPECT_EQ(FormatText(L"%d%%", {-40}), L"-40%");
    EXPECT_EQ(FormatText(L"%u %i", {4000000000ul, 7}), L"4000000000 7");
    EXPECT_EQ(FormatText(L"%s", {12}), L"12");
    EXPECT_EQ(FormatText(L"%d", {L"text"}), L"text");
}

TEST(FormatText, KeepsWhatItCannotFill) {
    EXPECT_EQ(FormatText(L"%s and %s", {L"one"}), L"one and ");
    EXPECT_EQ(FormatText(L"100% sure %", {}), L"100% sure %");
    EXPECT_EQ(FormatText(L"%x %l", {1}), L"%x %l");
    EXPECT_EQ(FormatText(L"\u03A3\uD55C %s", {L"\u00E9"}), L"\u03A3\uD55C \u00E9");
    EXPECT_EQ(FormatText(L"", {L"unused"}), L"");
}

TEST(ReplacePlaceholders, ReplacesEveryOccurrenceOfBoth) {
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"$2 in $1 minutes.", L"Shut down Windows in 10 minutes."},
        {L"$2 at $1.", L"Shut down Windows at 10."},
        {L"$1 $1 $2 $2", L"10 10 Shut down Windows Shut down Windows"},
        {L"$1$2", L"10Shut down Windows"},
        {L"no placeholders", L"no placeholders"},
        {L"$3 $ $$1 $", L"$3 $ $10 $"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplacePlaceholders(c.text, L"10", L"Shut down Windows"), c.expected) << c.text;
}

TEST(ReplacePlaceholders, LeavesReplacedTextAlone) {
    EXPECT_EQ(ReplacePlaceholders(L"$1|$2", L"$2", L"$1"), L"$2|$1");
    EXPECT_EQ(ReplacePlaceholders(L"[$1]", L"", L"x"), L"[]");
    EXPECT_EQ(ReplacePlaceholders(L"%s $1", L"100%", L""), L"%s 100%");
}

}  // namespace
