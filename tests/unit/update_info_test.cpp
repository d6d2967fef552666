#include <gtest/gtest.h>

#include "scheduler/core/update_info.h"
#include "scheduler/core/update_manual_check.h"

namespace {

struct NotifyCase {
    const wchar_t* mode;
    const wchar_t* current;
    const wchar_t* version;
    bool background;  // ShouldNotify without force
    bool asked;       // ShouldNotify with force (the user's own check)
};

TEST(ShouldNotifyTest, EachModeDecidesForBackgroundAndManualChecks) {
    const NotifyCase cases[] = {
        // Newer only, whatever the mode's text when it is neither "skip" nor "exact".
        {L"", L"1.1", L"1.0", true, true},
        {L"", L"1.0", L"1.0", false, false},
        {L"", L"1.0", L"1.1", false, false},
        {L"newer", L"2.0", L"1.9.9", true, true},
        {L"skipped", L"2.0", L"1.0", true, true},
        // "skip" silences the background only.
        {L"skip", L"1.1", L"1.0", false, true},
        {L"SKIP", L"1.1", L"1.0", false, true},
        {L"Skip", L"1.0", L"1.1", false, false},
        // "exact": any difference, older included.
        {L"exact", L"1.0", L"1.1", true, true},
        {L"EXACT", L"1.2", L"1.1", true, true},
        {L"eXaCt", L"1.1", L"1.1", false, false},
        {L"exact", L"1.1", L"1.1.0", true, true},
    };
    for (const NotifyCase& c : cases) {
        UpdateInfo info;
        info.mode = c.mode;
        info.current = c.current;
        EXPECT_EQ(ShouldNotify(info, c.version, false), c.background)
            << testing::PrintToString(info.mode) << " " << testing::PrintToString(info.current);
        EXPECT_EQ(ShouldNotify(info, c.version, true), c.asked)
            << testing::PrintToString(info.mode) << " " << testing::PrintToString(info.current);
    }
}

TEST(IsRestrictedTest, VersionsUpToTheRestrictedOneMustUpdate) {
    const struct {
        const wchar_t* restricted;
        const wchar_t* version;
        bool expected;
    } cases[] = {
        {L"2.0", L"1.5", true}, {L"1.4", L"1.5", false},  {L"1.5", L"1.5", true}, {L"", L"1.5", false},
        {L"", L"", false},      {L"1.5.0", L"1.5", true}, {L"0", L"1", false},
    };
    for (const auto& c : cases) {
        UpdateInfo info;
        info.restricted = c.restricted;
        EXPECT_EQ(IsRestricted(info, c.version), c.expected)
            << testing::PrintToString(info.restricted) << " for "
            << testing::PrintToString(std::wstring(c.version));
    }
}

TEST(DecideManualCheckTest, EveryOutcomeGetsItsMessage) {
    const struct {
        UpdateOutcome outcome;
        bool accepted;
        bool notify;
        ManualCheckReply expected;
    } cases[] = {
        {UpdateOutcome::NoVersion, false, false, ManualCheckReply::NotInstalled},
        {UpdateOutcome::NoVersion, true, true, ManualCheckReply::NotInstalled},
        {UpdateOutcome::Failed, false, false, ManualCheckReply::LoadFailed},
        {UpdateOutcome::Failed, true, true, ManualCheckReply::LoadFailed},
        {UpdateOutcome::Loaded, false, true, ManualCheckReply::LoadFailed},
        {UpdateOutcome::Loaded, true, true, ManualCheckReply::AskToUpdate},
        {UpdateOutcome::Loaded, true, false, ManualCheckReply::UpToDate},
        {UpdateOutcome::Skipped, true, true, ManualCheckReply::LoadFailed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecideManualCheck(c.outcome, c.accepted, c.notify), c.expected)
            << static_cast<int>(c.outcome) << " " << c.accepted << " " << c.notify;
    }
}

}  // namespace
