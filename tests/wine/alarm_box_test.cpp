// The alarm box under Wine: its text, caption and owner, and the sound started before it and
// stopped after it, with the MCI commands recorded by a stand-in (Wine has no sound device).

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ui/app_module.h"
#include "common/ui/window.h"
#include "scheduler/core/settings.h"
#include "scheduler/ui/alarm_box.h"
#include "scheduler/ui/sound_player.h"
#include "tests/unit/fake_mci.h"
#include "tests/wine/dialog_driver.h"

namespace {

using Log = std::vector<std::wstring>;
using scheduler_test::CFakeMci;

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
// The static control that holds a message box's text.
constexpr int kMessageBoxText = 0xFFFF;

class CCountingExclamation : public IExclamationSound {
  public:
    int plays = 0;
    void Play() override { ++plays; }
};

class AlarmBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CAppModule::Instance().Init(nullptr, kEnglish);
        owner = ::CreateWindowExW(0, L"STATIC", L"tray", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override {
        ::DestroyWindow(owner);
        CAppModule::Instance().Term();
    }

    HWND owner = nullptr;
};

TEST_F(AlarmBoxTest, ShowsThePaddedMessageTopmostWhileTheSoundPlays) {
    struct Case {
        std::wstring message;
        std::wstring shown;
    };
    const std::wstring longer = L"Take the cake out at once";  // 25 characters
    for (const Case& c : {Case{L"Tea", L"Tea" + std::wstring(17, L' ')}, Case{longer, longer}}) {
        CFakeMci mci;
        mci.nextDeviceId = 8;
        CSoundPlayer player(mci, 0);
        CSettings settings;
        settings.alarmSound = -1;
        settings.soundFile = L"C:\\ring.wav";
        CCountingExclamation exclamation;

        std::wstring text, caption;
        bool topmost = false;
        HWND ownerSeen = nullptr;
        Log soundWhileOpen;
        CDialogDriver driver({[&](HWND box) {
            text = ControlText(box, kMessageBoxText);
            caption = GetWindowTextString(box);
            topmost = (::GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            ownerSeen = ::GetWindow(box, GW_OWNER);
            soundWhileOpen = mci.log;
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        }});
        ShowAlarmBox(owner, c.message, player, settings, exclamation);

        EXPECT_EQ(text, c.shown);
        EXPECT_EQ(caption, L"Tivolan");
        EXPECT_TRUE(topmost);
        EXPECT_EQ(ownerSeen, owner);
        EXPECT_EQ(soundWhileOpen,
                  (Log{L"short C:\\ring.wav", L"open SHORT~1(C:\\ring.wav)", L"play 8 notify 0"}));
        // Stopped, not closed: the device stays open until the next alarm or preview.
        EXPECT_EQ(mci.log.back(), L"stop 8");
        EXPECT_EQ(player.DeviceId(), 8u);
        EXPECT_EQ(exclamation.plays, 0);
    }
}

TEST_F(AlarmBoxTest, DefaultSoundBeepsOnceAndNothingIsOpened) {
    CFakeMci mci;
    CSoundPlayer player(mci, 0);
    CSettings settings;
    settings.alarmSound = 1;
    CCountingExclamation exclamation;
    int beepsWhileOpen = -1;
    CDialogDriver driver({[&](HWND box) {
        beepsWhileOpen = exclamation.plays;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }});
    ShowAlarmBox(owner, L"Tea", player, settings, exclamation);
    EXPECT_EQ(beepsWhileOpen, 1);
    EXPECT_EQ(exclamation.plays, 1);
    EXPECT_EQ(mci.log, Log{});
}

TEST_F(AlarmBoxTest, SystemPlayerOpensNothingWithoutASoundDevice) {
    // Wine has no MCI sound device, which is also what a deleted sound file looks like: the box
    // still appears and the alarm stays silent.
    CSoundPlayer player;
    CSettings settings;
    settings.alarmSound = -1;
    settings.soundFile = L"C:\\no such folder\\ring.wav";
    bool shown = false;
    CDialogDriver driver({[&](HWND box) {
        shown = true;
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }});
    ShowAlarmBox(owner, L"Tea", player, settings);
    EXPECT_TRUE(shown);
    EXPECT_EQ(player.DeviceId(), 0u);
    EXPECT_FALSE(player.Stop());
}

}  // namespace
