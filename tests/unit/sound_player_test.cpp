// The sound player's device rules and the alarm's choice of sound, against a recording stand-in
// for the MCI commands.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scheduler/core/settings.h"
#include "scheduler/ui/alarm_sound.h"
#include "scheduler/ui/sound_player.h"
#include "tests/unit/fake_mci.h"

namespace {

using scheduler_test::CFakeMci;
using Log = std::vector<std::wstring>;

TEST(SoundPlayerTest, OpenUsesTheShortPathAndKeepsTheDevice) {
    CFakeMci mci;
    CSoundPlayer player(mci, 0x1234);
    EXPECT_EQ(player.DeviceId(), 0u);
    EXPECT_TRUE(player.Open(L"C:\\Sounds\\Long name.wav"));
    EXPECT_EQ(player.DeviceId(), 7u);
    EXPECT_TRUE(player.Play());
    EXPECT_TRUE(player.Stop());
    EXPECT_EQ(mci.log, (Log{L"short C:\\Sounds\\Long name.wav", L"open SHORT~1(C:\\Sounds\\Long name.wav)",
                            L"play 7 notify 4660", L"stop 7"}));
}

TEST(SoundPlayerTest, NextOpenClosesTheDeviceBeforeOpeningAnother) {
    CFakeMci mci;
    CSoundPlayer player(mci, 0);
    ASSERT_TRUE(player.Open(L"a.wav"));
    mci.nextDeviceId = 9;
    mci.log.clear();
    EXPECT_TRUE(player.Open(L"b.mp3"));
    EXPECT_EQ(mci.log, (Log{L"close 7", L"short b.mp3", L"open SHORT~1(b.mp3)"}));
    EXPECT_EQ(player.DeviceId(), 9u);
}

TEST(SoundPlayerTest, FailedOpenLeavesNoDeviceBehind) {
    // Also after an earlier device: its number must not receive later commands once it is closed.
    struct Case {
        const char* name;
        bool openedBefore;
        uint32_t openError;
        uint32_t deviceGiven;
    };
    for (const Case& c :
         {Case{"refused, nothing before", false, 274, 7}, Case{"refused, after a device", true, 274, 7},
          Case{"device 0 reported", true, 0, 0}}) {
        SCOPED_TRACE(c.name);
        CFakeMci mci;
        CSoundPlayer player(mci, 0);
        if (c.openedBefore) {
            ASSERT_TRUE(player.Open(L"old.wav"));
        }
        mci.openError = c.openError;
        mci.nextDeviceId = c.deviceGiven;
        EXPECT_FALSE(player.Open(L"gone.wav"));
        EXPECT_EQ(player.DeviceId(), 0u);
        mci.log.clear();
        EXPECT_FALSE(player.Play());
        EXPECT_FALSE(player.Stop());
        player.Close();
        EXPECT_EQ(mci.log, Log{});
    }
}

TEST(SoundPlayerTest, CommandsReportTheDevicesAnswer) {
    CFakeMci mci;
    CSoundPlayer player(mci, 0);
    ASSERT_TRUE(player.Open(L"a.wav"));
    mci.playError = 263;
    mci.stopError = 263;
    EXPECT_FALSE(player.Play());
    EXPECT_FALSE(player.Stop());
    // A refusal leaves the device open: the next Stop or Close still reaches it.
    EXPECT_EQ(player.DeviceId(), 7u);
    mci.stopError = 0;
    EXPECT_TRUE(player.Stop());
}

TEST(SoundPlayerTest, CloseSendsOneCloseAndTheDestructorClosesWhatIsOpen) {
    CFakeMci mci;
    {
        CSoundPlayer player(mci, 0);
        player.Close();
        EXPECT_EQ(mci.log, Log{});
        ASSERT_TRUE(player.Open(L"a.wav"));
        mci.closeError = 263;  // forgotten anyway
        player.Close();
        player.Close();
        EXPECT_EQ(player.DeviceId(), 0u);
        mci.closeError = 0;
        ASSERT_TRUE(player.Open(L"b.wav"));
        mci.log.clear();
    }
    EXPECT_EQ(mci.log, Log{L"close 7"});
}

class CCountingExclamation : public IExclamationSound {
  public:
    int plays = 0;
    void Play() override { ++plays; }
};

TEST(StartAlarmSoundTest, ClosesTheLastSoundThenPlaysTheChosenOne) {
    struct Case {
        int32_t alarmSound;
        uint32_t openError;
        Log calls;  // after the close of the device left open by the last alarm
        int exclamations;
    };
    const Case cases[] = {
        {-1, 0, {L"short C:\\ring.wav", L"open SHORT~1(C:\\ring.wav)", L"play 8 notify 0"}, 0},
        // A file that is gone or cannot be played: silence, and nothing else instead.
        {-1, 275, {L"short C:\\ring.wav", L"open SHORT~1(C:\\ring.wav)"}, 0},
        {1, 0, {}, 1},
        {0, 0, {}, 0},
        {2, 0, {}, 0},
        {-2, 0, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alarmSound);
        SCOPED_TRACE(c.openError);
        CFakeMci mci;
        CSoundPlayer player(mci, 0);
        ASSERT_TRUE(player.Open(L"last.wav"));
        mci.log.clear();
        mci.nextDeviceId = 8;
        mci.openError = c.openError;
        CSettings settings;
        settings.alarmSound = c.alarmSound;
        settings.soundFile = L"C:\\ring.wav";
        CCountingExclamation exclamation;

        StartAlarmSound(player, settings, exclamation);

        Log expected{L"close 7"};
        expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        EXPECT_EQ(mci.log, expected);
        EXPECT_EQ(exclamation.plays, c.exclamations);
        EXPECT_EQ(player.DeviceId(), c.calls.size() > 2 ? 8u : 0u);
    }
}

}  // namespace
