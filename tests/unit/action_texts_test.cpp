#include "scheduler/core/action_texts.h"

#include <gtest/gtest.h>

#include "tests/unit/scheduler_fakes.h"

namespace {

using scheduler_test::FakeStringTable;

struct Case {
    int32_t action;
    const wchar_t* name;
    const wchar_t* description;
    uint32_t icon;
};

const Case kCases[] = {
    {0, L"Shut down", L"Shut down Windows", 150},
    {1, L"Restart", L"Restart Windows", 151},
    {2, L"Sleep", L"Put the computer to sleep", 152},
    {3, L"Hibernate", L"Saves current session and shut down Windows", 153},
    {4, L"Display Off", L"Turn off the display", 154},
    {5, L"Screen Saver", L"Start the screen saver", 155},
    {6, L"Lock Windows", L"Lock Windows", 156},
    {7, L"Alarm", L"Show an alarm message", 209},
    {8, L"Run", L"Run a program", 210},
    {9, L"Unknown", L"Unknown", 128},
    {-1, L"Unknown", L"Unknown", 128},
    {1000, L"Unknown", L"Unknown", 128},
};

TEST(CActionTexts, NamesDescribesAndPicksTheIconOfEveryAction) {
    FakeStringTable strings;
    const CActionTexts texts(strings);
    for (const Case& c : kCases) {
        EXPECT_EQ(texts.ActionName(c.action), c.name) << c.action;
        EXPECT_EQ(texts.ActionDescription(c.action), c.description) << c.action;
        EXPECT_EQ(CActionTexts::ActionIcon(c.action), c.icon) << c.action;
    }
}

TEST(CActionTexts, LoadsEachTextOnceAndKeepsIt) {
    FakeStringTable strings;
    const CActionTexts texts(strings);
    EXPECT_TRUE(strings.loads.empty());

    EXPECT_EQ(texts.ActionName(8), L"Run");
    strings.texts[184] = L"Changed later";
    strings.texts[142] = L"Changed before first use";
    EXPECT_EQ(texts.ActionName(8), L"Run");
    EXPECT_EQ(texts.ActionDescription(0), L"Changed before first use");
    EXPECT_EQ(texts.ActionDescription(0), L"Changed before first use");
    texts.ActionName(99);

    EXPECT_EQ(strings.loads, (std::map<uint32_t, int>{{184, 1}, {142, 1}}));
}

}  // namespace
