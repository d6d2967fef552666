#include "scheduler/ui/page_choices.h"

#include <gtest/gtest.h>

#include "scheduler/core/power_action.h"

namespace {

struct BoxCase {
    const wchar_t* text;
    BoxBounds bounds;
    int32_t expected;
};

TEST(ReadBoxNumber, ClampsWhatWasTypedIntoTheBoxRange) {
    const BoxCase cases[] = {
        {L"75", kMinuteBounds, 59},
        {L"59", kMinuteBounds, 59},
        {L"0", kClockHourBounds, 1},
        {L"13", kClockHourBounds, 12},
        {L"abc", kCountdownHourBounds, 0},
        {L"", kCountdownHourBounds, 0},
        {L"", kClockHourBounds, 1},
        {L"12abc", kCountdownHourBounds, 12},
        {L"  7", kMinuteBounds, 7},
        {L"+8", kMinuteBounds, 8},
        {L"-5", kMinuteBounds, 0},
        {L"-5", kClockHourBounds, 1},
        {L"1000", kCountdownHourBounds, 999},
        {L"999", kCountdownHourBounds, 999},
        // Far more digits than 32 bits hold: the top of the range, not a wrapped negative number.
        {L"99999999999999999999999", kCountdownHourBounds, 999},
        {L"-99999999999999999999999", kClockHourBounds, 1},
        {L"4294967297", kMinuteBounds, 59},
        {L"1 2", kMinuteBounds, 1},
        {L"\x0661\x0662", kMinuteBounds, 0},  // other scripts' digits are no digits here
    };
    for (const BoxCase& c : cases)
        EXPECT_EQ(ReadBoxNumber(c.text, c.bounds), c.expected)
            << "text \"" << testing::PrintToString(c.text) << "\" lower " << c.bounds.lower;
}

TEST(ReadBoxNumber, EveryFixedEntryReadsBackAsItself) {
    struct List {
        std::span<const wchar_t* const> entries;
        BoxBounds bounds;
    };
    for (const List& list :
         {List{CountdownHourEntries(), kCountdownHourBounds}, List{ClockHourEntries(), kClockHourBounds},
          List{MinuteEntries(), kMinuteBounds}}) {
        ASSERT_FALSE(list.entries.empty());
        for (const wchar_t* entry : list.entries)
            EXPECT_EQ(std::to_wstring(ReadBoxNumber(entry, list.bounds)), entry);
    }
    EXPECT_EQ(CountdownHourEntries().size(), 13u);
    EXPECT_STREQ(CountdownHourEntries().back(), L"48");
    EXPECT_EQ(ClockHourEntries().size(), 12u);
}

TEST(HomePageActions, OffersSleepAndHibernateOnlyWhereAllowed) {
    using enum tivolan::PowerAction;
    EXPECT_EQ(HomePageActions(true, true),
              (std::vector<int32_t>{ShutDown, Restart, Sleep, Hibernate, DisplayOff, ScreenSaver, LockWindows,
                                    Alarm, Run}));
    EXPECT_EQ(HomePageActions(false, false),
              (std::vector<int32_t>{ShutDown, Restart, DisplayOff, ScreenSaver, LockWindows, Alarm, Run}));
    EXPECT_EQ(HomePageActions(false, true)[2], Hibernate);
    EXPECT_EQ(HomePageActions(true, false)[2], Sleep);
    EXPECT_EQ(HomePageActions(true, false)[3], DisplayOff);
}

TEST(ActionListIndex, FindsTheActionOrFallsBackToTheFirstEntry) {
    const std::vector<int32_t> withoutSleep = HomePageActions(false, false);
    EXPECT_EQ(ActionListIndex(withoutSleep, PowerAction::LockWindows), 4u);
    EXPECT_EQ(ActionListIndex(withoutSleep, PowerAction::Sleep), 0u);
    EXPECT_EQ(ActionListIndex(withoutSleep, 42), 0u);
    EXPECT_EQ(ActionListIndex(withoutSleep, -1), 0u);
    EXPECT_EQ(ActionListIndex(HomePageActions(true, true), PowerAction::Run), 8u);
}

TEST(FileDialogFilter, TurnsBarsIntoTerminatorsAndEndsWithTwo) {
    const std::wstring filter =
        FileDialogFilter(L"Sound files (*.wav;*.mp3)|*.wav;*.mp3|All files (*.*)|*.*|");
    constexpr wchar_t kExpected[] = L"Sound files (*.wav;*.mp3)\0*.wav;*.mp3\0All files (*.*)\0*.*\0";
    EXPECT_EQ(filter, std::wstring(kExpected, std::size(kExpected) - 1));
    // The dialog reads up to the empty pair: c_str() supplies the second terminator.
    EXPECT_EQ(filter.c_str()[filter.size()], L'\0');

    // A translation that lost its last bar still ends the list.
    EXPECT_EQ(FileDialogFilter(L"All|*.*"), std::wstring(L"All\0*.*\0", 8));
    EXPECT_EQ(FileDialogFilter(L""), std::wstring(1, L'\0'));
}

TEST(SoundList, SelectionFollowsTheStoredChoiceAndTheEntriesPresent) {
    struct Case {
        int32_t alarmSound;
        int entryCount;
        int selection;
    } const cases[] = {
        {0, 2, 0}, {1, 2, 1}, {0, 3, 0}, {1, 3, 1}, {-1, 3, 2}, {-1, 2, 1}, {7, 3, 0}, {-2, 3, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SoundListSelection(c.alarmSound, c.entryCount), c.selection)
            << "alarmSound " << c.alarmSound << " entries " << c.entryCount;

    EXPECT_EQ(AlarmSoundOfSelection(0), 0);
    EXPECT_EQ(AlarmSoundOfSelection(1), 1);
    EXPECT_EQ(AlarmSoundOfSelection(kSoundEntryFile), -1);
}

}  // namespace
