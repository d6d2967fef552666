// The confirmation countdown run modally under Wine with a clock the test moves, and the
// scheduler's confirmation adapter around it.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "common/ui/app_module.h"
#include "scheduler/core/power_action.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/timeout_confirmation.h"
#include "scheduler/ui/timeout_dlg.h"
#include "tests/wine/dialog_driver.h"

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

class CSettableClock : public IClock {
  public:
    int64_t now = 1'800'000'000;
    int64_t Now() const override { return now; }
    std::optional<LocalTime> ToLocal(int64_t) const override { return std::nullopt; }
    std::optional<int64_t> FromLocal(const LocalTime&) const override { return std::nullopt; }
};

class TimeoutDlgTest : public ::testing::Test {
  protected:
    void SetUp() override { CAppModule::Instance().Init(nullptr, kEnglish); }
    void TearDown() override { CAppModule::Instance().Term(); }

    // What WM_CTLCOLORSTATIC of a control leaves in a device context, and the brush it answers.
    struct ControlColors {
        LRESULT brush;
        int backgroundMode;
        LONG fontWeight;
        std::wstring fontFace;
        bool fontUnchanged;  // still the device context's own
    };
    static ControlColors ColorsOf(HWND dialog, int id) {
        HDC dc = ::CreateCompatibleDC(nullptr);
        const LRESULT brush = ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
        HGDIOBJ selected = ::GetCurrentObject(dc, OBJ_FONT);
        LOGFONTW font{};
        ::GetObjectW(selected, sizeof(font), &font);
        const ControlColors colors{brush, ::GetBkMode(dc), font.lfWeight, font.lfFaceName,
                                   selected == ::GetStockObject(SYSTEM_FONT)};
        ::DeleteDC(dc);
        return colors;
    }

    CSettableClock clock;
};

void Tick(HWND dialog) {
    ::SendMessageW(dialog, WM_TIMER, CTimeoutDlg::kTimerId, 0);
}

TEST_F(TimeoutDlgTest, OpensTopmostWithTheActionsQuestionAndAFullMinute) {
    struct Case {
        int32_t action;
        const wchar_t* question;
        const wchar_t* countdown;
    };
    const Case cases[] = {
        {PowerAction::ShutDown, L"Are you sure you want to shut down Windows now?",
         L"The system will shut down in 60 seconds."},
        {PowerAction::Restart, L"Are you sure you want to restart Windows now?",
         L"The system will restart in 60 seconds."},
        {PowerAction::Hibernate, L"Are you sure you want to save current session and shut down Windows now?",
         L"The system will save current session and shut down in 60 seconds."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        std::wstring question, countdown, dialogFontFace;
        bool topmost = false, okHasFocus = false, iconShown = false;
        ControlColors questionColors{}, countdownColors{};
        CDialogDriver driver({[&](HWND dialog) {
            question = ControlText(dialog, IDC_CONFIRM_QUESTION);
            countdown = ControlText(dialog, IDC_CONFIRM_COUNTDOWN);
            topmost = (::GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            okHasFocus = ::GetFocus() == ::GetDlgItem(dialog, IDOK);
            iconShown = ::SendDlgItemMessageW(dialog, IDC_ACTION_ICON, STM_GETICON, 0, 0) != 0;
            questionColors = ColorsOf(dialog, IDC_CONFIRM_QUESTION);
            countdownColors = ColorsOf(dialog, IDC_CONFIRM_COUNTDOWN);
            LOGFONTW dialogFont{};
            ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(dialog, WM_GETFONT, 0, 0)),
                         sizeof(dialogFont), &dialogFont);
            dialogFontFace = dialogFont.lfFaceName;
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }});
        CTimeoutDlg dialog(c.action, clock);
        EXPECT_EQ(dialog.Deadline(), clock.now + 60);
        EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
        EXPECT_EQ(question, c.question);
        EXPECT_EQ(countdown, c.countdown);
        EXPECT_TRUE(topmost);
        EXPECT_TRUE(okHasFocus);
        EXPECT_TRUE(iconShown);
        // The question alone is bold on a transparent background.
        EXPECT_EQ(questionColors.brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
        EXPECT_EQ(questionColors.backgroundMode, TRANSPARENT);
        EXPECT_EQ(questionColors.fontWeight, FW_BOLD);
        EXPECT_NE(countdownColors.brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
        EXPECT_EQ(questionColors.fontFace, dialogFontFace);
        EXPECT_TRUE(countdownColors.fontUnchanged);
    }
}

TEST_F(TimeoutDlgTest, CountsDownToOneSecoundAndEndsWithOkByItsOwnTimer) {
    std::vector<std::wstring> lines;
    DWORD lastStep = 0;
    CDialogDriver driver({
        [&](HWND dialog) {
            clock.now += 1;
            Tick(dialog);
            lines.push_back(ControlText(dialog, IDC_CONFIRM_COUNTDOWN));
        },
        [&](HWND dialog) {
            clock.now += 57;
            Tick(dialog);
            lines.push_back(ControlText(dialog, IDC_CONFIRM_COUNTDOWN));
        },
        [&](HWND dialog) {
            clock.now += 1;
            Tick(dialog);
            lines.push_back(ControlText(dialog, IDC_CONFIRM_COUNTDOWN));
            // The minute is over; the dialog's own timer has to notice.
            clock.now += 1;
            lastStep = ::GetTickCount();
        },
    });
    CTimeoutDlg dialog(PowerAction::Restart, clock);
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    const DWORD waited = ::GetTickCount() - lastStep;
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"The system will restart in 59 seconds.",
                                                L"The system will restart in 2 seconds.",
                                                L"The system will restart in 1 secound."}));
    EXPECT_LT(waited, 3000u);
}

TEST_F(TimeoutDlgTest, ButtonsAndKeysEndItWithTheirResult) {
    struct Case {
        const char* name;
        INT_PTR expected;
        std::function<void(HWND)> press;
    };
    const Case cases[] = {
        // Right after opening: the focus is on the perform button, so Enter performs.
        {"Enter", IDOK, [](HWND) { ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }},
        {"Escape", IDCANCEL, [](HWND) { ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"Cancel clicked", IDCANCEL,
         [](HWND dialog) { ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); }},
        {"OK clicked", IDOK, [](HWND dialog) { ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0); }},
        {"closed", IDCANCEL, [](HWND dialog) { ::PostMessageW(dialog, WM_CLOSE, 0, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDialogDriver driver({c.press});
        CTimeoutDlg dialog(PowerAction::ShutDown, clock);
        EXPECT_EQ(dialog.DoModal(nullptr), c.expected);
    }
}

TEST_F(TimeoutDlgTest, ClockSetBackPausesTheCountdownInsteadOfLengtheningIt) {
    std::vector<std::wstring> lines;
    CDialogDriver driver({[&](HWND dialog) {
        clock.now += 10;
        Tick(dialog);
        lines.push_back(ControlText(dialog, IDC_CONFIRM_COUNTDOWN));
        clock.now -= 3600;
        Tick(dialog);
        lines.push_back(ControlText(dialog, IDC_CONFIRM_COUNTDOWN));
        clock.now += 49;
        Tick(dialog);
        lines.push_back(ControlText(dialog, IDC_CONFIRM_COUNTDOWN));
        clock.now += 1;
        Tick(dialog);
    }});
    CTimeoutDlg dialog(PowerAction::ShutDown, clock);
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"The system will shut down in 50 seconds.",
                                                L"The system will shut down in 50 seconds.",
                                                L"The system will shut down in 1 secound."}));
}

TEST_F(TimeoutDlgTest, ActionThatIsNeverConfirmedIsRefusedUnseen) {
    bool shown = false;
    CDialogDriver driver({[&](HWND dialog) {
        shown = true;
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }});
    CTimeoutDlg dialog(PowerAction::Sleep, clock);
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_FALSE(shown);
}

TEST_F(TimeoutDlgTest, ConfirmationRunsOverTheActiveWindowOrOnTheTaskbar) {
    // A visible window of ours that is active owns the countdown; a hidden one that is active (the
    // tray window after its menu) or none leaves it unowned, with a taskbar button of its own.
    HWND shown = ::CreateWindowExW(0, L"STATIC", L"shown", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                   nullptr, nullptr, nullptr);
    HWND hidden = ::CreateWindowExW(0, L"STATIC", L"hidden", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(hidden, nullptr);
    const std::tuple<const char*, HWND, int, bool, HWND> cases[] = {
        {"a visible active window, OK", shown, IDOK, true, shown},
        {"a visible active window, Cancel", shown, IDCANCEL, false, shown},
        {"a hidden active window", hidden, IDOK, true, nullptr},
        {"no active window", nullptr, IDCANCEL, false, nullptr},
    };
    for (const auto& [name, active, command, confirmed, owner] : cases) {
        SCOPED_TRACE(name);
        ::SetActiveWindow(active);
        ASSERT_EQ(::GetActiveWindow(), active);
        HWND ownerSeen = hidden;  // neither null nor what any case expects
        LONG_PTR exStyle = 0;
        CDialogDriver driver({[&](HWND dialog) {
            ownerSeen = ::GetWindow(dialog, GW_OWNER);
            exStyle = ::GetWindowLongPtrW(dialog, GWL_EXSTYLE);
            ::PostMessageW(dialog, WM_COMMAND, command, 0);
        }});
        CTimeoutConfirmation confirmation(clock);
        EXPECT_EQ(confirmation.Confirm(PowerAction::Restart), confirmed);
        EXPECT_EQ(ownerSeen, owner);
        EXPECT_EQ(exStyle & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW), owner ? 0 : WS_EX_APPWINDOW);
    }
    ::DestroyWindow(hidden);
    ::DestroyWindow(shown);
}

TEST_F(TimeoutDlgTest, ConfirmationThatCannotShowItsDialogRefuses) {
    // A module without the dialog's template.
    CAppModule::Instance().Init(::GetModuleHandleW(L"kernel32.dll"), kEnglish);
    CTimeoutConfirmation confirmation(clock);
    EXPECT_FALSE(confirmation.Confirm(PowerAction::ShutDown));
}

}  // namespace
