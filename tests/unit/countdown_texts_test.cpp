#include "scheduler/core/countdown_texts.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/unit/scheduler_fakes.h"

namespace {

using scheduler_test::FakeStringTable;

FakeStringTable CountdownStrings() {
    FakeStringTable strings;
    strings.texts[164] = L"The system will shut down in %d %s.";
    strings.texts[165] = L"The system will restart in %d %s.";
    strings.texts[166] = L"The system will save current session and shut down in %d %s.";
    strings.texts[171] = L"secound";
    strings.texts[172] = L"seconds";
    return strings;
}

TEST(CountdownTexts, OnlyTheConfirmedActionsHaveThem) {
    EXPECT_EQ(CountdownTextsFor(0), (CountdownTexts{150, 161, 164}));
    EXPECT_EQ(CountdownTextsFor(1), (CountdownTexts{151, 162, 165}));
    EXPECT_EQ(CountdownTextsFor(3), (CountdownTexts{153, 163, 166}));
    for (int32_t action : {-1, 2, 4, 5, 6, 7, 8, 9, INT32_MAX})
        EXPECT_FALSE(CountdownTextsFor(action).has_value()) << action;
}

TEST(CountdownLine, FillsSecondsAndTheirUnit) {
    const FakeStringTable strings = CountdownStrings();
    struct Case {
        int32_t action;
        int32_t left;
        const wchar_t* line;
    };
    const Case cases[] = {
        {0, 60, L"The system will shut down in 60 seconds."},
        {0, 59, L"The system will shut down in 59 seconds."},
        {0, 2, L"The system will shut down in 2 seconds."},
        {1, 1, L"The system will restart in 1 secound."},
        {1, 0, L"The system will restart in 0 secound."},
        {3, 10, L"The system will save current session and shut down in 10 seconds."},
        {3, -5, L"The system will save current session and shut down in -5 secound."},
        {2, 30, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountdownLine(strings, c.action, c.left), c.line) << c.action << " " << c.left;
}

}  // namespace
