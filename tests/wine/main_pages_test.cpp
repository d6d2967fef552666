// The main window's three pages against Wine, driven through their controls: what the Home page shows
// for stored settings, the number boxes brought into range, the four commands with their questions,
// the Schedule page's rows and "&Delete", and the Options page's controls.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ui/app_module.h"
#include "common/ui/message_loop.h"
#include "common/ui/window.h"
#include "scheduler/core/power_action.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/main_dlg.h"
#include "scheduler/ui/tivolan_app.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/main_window_setup.h"

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr const wchar_t* kSettingsKey = L"Software\\Tivolan";

std::wstring ListCell(HWND list, int row, int column) {
    wchar_t text[128] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::wstring ComboEntry(HWND combo, int index) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length < 0)
        return L"<none>";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

bool HasValue(const wchar_t* name) {
    return ::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

// Settings as a fresh user has them, with nothing scheduled and nothing stored.
void ResetSharedState() {
    CScheduler& scheduler = Scheduler();
    while (!scheduler.Entries().empty())
        scheduler.Remove(0);
    Settings() = CSettings();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

class MainPagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        StartMainWindowModule(m_loop, kEnglish);
        ResetSharedState();
    }
    void TearDown() override {
        m_dialog.reset();
        ResetSharedState();
        CAppModule::Instance().Term();
    }

    // The main window made now, from the settings as the test left them. It stays hidden, so the only
    // visible dialog of the thread is the question a command asks.
    void CreateMainWindow() {
        m_dialog = std::make_unique<CMainDlg>();
        ASSERT_NE(m_dialog->Create(nullptr), nullptr);
        m_home = m_dialog->TabView().PageWindow(CMainDlg::HomePage);
        m_schedule = m_dialog->TabView().PageWindow(CMainDlg::SchedulePage);
        m_options = m_dialog->TabView().PageWindow(CMainDlg::OptionsPage);
    }

    HWND HomeItem(int id) const { return ::GetDlgItem(m_home, id); }

    // Types into a number box and moves on, as the user would.
    void TypeAndLeave(int id, const wchar_t* text) {
        ::SetWindowTextW(HomeItem(id), text);
        ::SendMessageW(m_home, WM_COMMAND, MAKEWPARAM(id, CBN_KILLFOCUS),
                       reinterpret_cast<LPARAM>(HomeItem(id)));
    }

    void Command(HWND page, int id) {
        ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(page, id)));
    }

    void ChooseAction(int32_t action) {
        HWND list = HomeItem(IDC_ACTION_LIST);
        const LRESULT count = ::SendMessageW(list, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            if (::SendMessageW(list, CB_GETITEMDATA, i, 0) == action) {
                ::SendMessageW(list, CB_SETCURSEL, i, 0);
                ::SendMessageW(m_home, WM_COMMAND, MAKEWPARAM(IDC_ACTION_LIST, CBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(list));
                return;
            }
        }
        ADD_FAILURE() << "action " << action << " is not offered";
    }

    void ChooseKind(int id) {
        ::CheckRadioButton(m_home, IDC_KIND_AFTER, IDC_KIND_AT, id);
        Command(m_home, id);
    }

    int RowCount() const {
        return static_cast<int>(::SendDlgItemMessageW(m_schedule, IDC_SCHEDULE_LIST, LVM_GETITEMCOUNT, 0, 0));
    }

    CMessageLoop m_loop;
    std::unique_ptr<CMainDlg> m_dialog;
    HWND m_home = nullptr;
    HWND m_schedule = nullptr;
    HWND m_options = nullptr;
};

TEST_F(MainPagesTest, HomePageShowsTheStoredChoiceAsItWillBeActedOn) {
    struct Case {
        int32_t type;
        int32_t ampm;
        bool atChecked;
        int ampmSelection;
    } const cases[] = {
        {TimeKind::After, 0, false, 0},
        {TimeKind::At, 1, true, 1},
        // Values no page writes: any kind but After is a clock time, any AM/PM but 0 is PM.
        {7, 5, true, 1},
        {-1, -1, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " ampm " << c.ampm);
        Settings() = CSettings();
        Settings().type = c.type;
        Settings().ampm = c.ampm;
        Settings().hour1 = 3;
        Settings().min1 = 45;
        Settings().hour2 = 11;
        Settings().min2 = 5;
        Settings().mode = PowerAction::LockWindows;
        CreateMainWindow();
        EXPECT_EQ(::IsDlgButtonChecked(m_home, IDC_KIND_AT) == BST_CHECKED, c.atChecked);
        EXPECT_EQ(::IsDlgButtonChecked(m_home, IDC_KIND_AFTER) == BST_CHECKED, !c.atChecked);
        EXPECT_EQ(::SendMessageW(HomeItem(IDC_AMPM), CB_GETCURSEL, 0, 0), c.ampmSelection);
        EXPECT_EQ(::IsWindowEnabled(HomeItem(IDC_AFTER_HOURS)) != FALSE, !c.atChecked);
        EXPECT_EQ(::IsWindowEnabled(HomeItem(IDC_AT_MINUTE)) != FALSE, c.atChecked);
        EXPECT_EQ(::IsWindowEnabled(HomeItem(IDC_AMPM)) != FALSE, c.atChecked);
        EXPECT_EQ(GetWindowTextString(HomeItem(IDC_AFTER_HOURS)), L"3");
        EXPECT_EQ(GetWindowTextString(HomeItem(IDC_AFTER_MINUTES)), L"45");
        EXPECT_EQ(GetWindowTextString(HomeItem(IDC_AT_HOUR)), L"11");
        EXPECT_EQ(GetWindowTextString(HomeItem(IDC_AT_MINUTE)), L"5");
        EXPECT_EQ(::SendMessageW(HomeItem(IDC_AFTER_HOURS), CB_GETCOUNT, 0, 0), 13);
        HWND actions = HomeItem(IDC_ACTION_LIST);
        const LRESULT selected = ::SendMessageW(actions, CB_GETCURSEL, 0, 0);
        EXPECT_EQ(::SendMessageW(actions, CB_GETITEMDATA, selected, 0), PowerAction::LockWindows);
        EXPECT_EQ(ComboEntry(actions, static_cast<int>(selected)), L"Lock Windows");
        EXPECT_EQ(ComboEntry(HomeItem(IDC_AMPM), 1), L"PM");
        m_dialog.reset();
    }
}

TEST_F(MainPagesTest, ChangingTheActionChangesTheIconAndTheSetting) {
    CreateMainWindow();
    HWND icon = HomeItem(IDC_ACTION_ICON);
    const LRESULT before = ::SendMessageW(icon, STM_GETICON, 0, 0);
    ChooseAction(PowerAction::Alarm);
    EXPECT_EQ(Settings().mode, PowerAction::Alarm);
    const LRESULT alarm = ::SendMessageW(icon, STM_GETICON, 0, 0);
    EXPECT_NE(alarm, before);
    EXPECT_EQ(alarm, reinterpret_cast<LRESULT>(
                         ::LoadIconW(CAppModule::Instance().Handle(), MAKEINTRESOURCEW(IDI_ACTION_ALARM))));
    ChooseKind(IDC_KIND_AT);
    EXPECT_EQ(Settings().type, TimeKind::At);
    EXPECT_FALSE(::IsWindowEnabled(HomeItem(IDC_AFTER_MINUTES)));
    EXPECT_TRUE(::IsWindowEnabled(HomeItem(IDC_AT_HOUR)));
}

TEST_F(MainPagesTest, NumberBoxesAreBroughtIntoRangeWhenTheyLoseTheFocus) {
    struct Case {
        int id;
        const wchar_t* typed;
        const wchar_t* shown;
        int32_t CSettings::*field;
        int32_t stored;
    } const cases[] = {
        {IDC_AFTER_MINUTES, L"75", L"59", &CSettings::min1, 59},
        {IDC_AT_HOUR, L"0", L"1", &CSettings::hour2, 1},
        {IDC_AFTER_HOURS, L"abc", L"0", &CSettings::hour1, 0},
        {IDC_AFTER_HOURS, L"1234", L"999", &CSettings::hour1, 999},
        {IDC_AT_MINUTE, L"07", L"7", &CSettings::min2, 7},
        {IDC_AT_HOUR, L"13", L"12", &CSettings::hour2, 12},
    };
    CreateMainWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "box " << c.id << " typed " << testing::PrintToString(c.typed));
        Settings().*c.field = -5;
        TypeAndLeave(c.id, c.typed);
        EXPECT_EQ(GetWindowTextString(HomeItem(c.id)), c.shown);
        EXPECT_EQ(Settings().*c.field, c.stored);
    }
    // The AM/PM choice waits for a command.
    ::SendMessageW(HomeItem(IDC_AMPM), CB_SETCURSEL, 1, 0);
    EXPECT_EQ(Settings().ampm, 0);
}

TEST_F(MainPagesTest, StartHidesTheWindowSchedulesTheCountdownAndSavesWithoutTasks) {
    CreateMainWindow();
    ::ShowWindow(m_dialog->Hwnd(), SW_SHOW);
    ChooseKind(IDC_KIND_AFTER);
    ChooseAction(PowerAction::LockWindows);
    ::SetWindowTextW(HomeItem(IDC_AFTER_HOURS), L"1");
    ::SetWindowTextW(HomeItem(IDC_AFTER_MINUTES), L"90");  // read before the command: 59
    Command(m_home, IDOK);

    EXPECT_FALSE(::IsWindowVisible(m_dialog->Hwnd()));
    ASSERT_EQ(Scheduler().Entries().size(), 1u);
    EXPECT_EQ(Scheduler().Entries()[0].action, PowerAction::LockWindows);
    EXPECT_EQ(Scheduler().Entries()[0].taskIndex, -1);
    EXPECT_EQ(Settings().min1, 59);
    EXPECT_TRUE(HasValue(L"Min1"));
    EXPECT_FALSE(HasValue(L"Task"));
    // The Schedule page heard of the change at once.
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(ListCell(::GetDlgItem(m_schedule, IDC_SCHEDULE_LIST), 0, 1), L"Lock Windows");
    EXPECT_EQ(ListCell(::GetDlgItem(m_schedule, IDC_SCHEDULE_LIST), 0, 2), L"None");
}

TEST_F(MainPagesTest, StartedAlarmWithAnEmptyMessageIsNamedAlarmAndCancelEndsTheCommand) {
    CreateMainWindow();
    ::ShowWindow(m_dialog->Hwnd(), SW_SHOW);
    ChooseAction(PowerAction::Alarm);
    {
        CDialogDriver driver({[](HWND question) { ::SendMessageW(question, WM_COMMAND, IDCANCEL, 0); }});
        Command(m_home, IDOK);
        EXPECT_EQ(driver.StepsRun(), 1u);
    }
    EXPECT_TRUE(::IsWindowVisible(m_dialog->Hwnd())) << "a cancelled question leaves the window";
    EXPECT_TRUE(Scheduler().Entries().empty());
    {
        CDialogDriver driver({[](HWND question) { ::SendMessageW(question, WM_COMMAND, IDOK, 0); }});
        Command(m_home, IDOK);
    }
    ASSERT_EQ(Scheduler().Entries().size(), 1u);
    EXPECT_EQ(Scheduler().Entries()[0].parameter, L"Alarm");
    EXPECT_FALSE(::IsWindowVisible(m_dialog->Hwnd()));
}

TEST_F(MainPagesTest, CancellingTheProgramQuestionSchedulesNothing) {
    CreateMainWindow();
    ::ShowWindow(m_dialog->Hwnd(), SW_SHOW);
    ChooseAction(PowerAction::Run);
    std::wstring title;
    {
        CDialogDriver driver({[&title](HWND question) {
            title = GetWindowTextString(question);
            ::PostMessageW(question, WM_COMMAND, IDCANCEL, 0);
        }});
        Command(m_home, IDOK);
    }
    EXPECT_EQ(title, L"Run");
    EXPECT_TRUE(::IsWindowVisible(m_dialog->Hwnd()));
    EXPECT_TRUE(Scheduler().Entries().empty());
}

TEST_F(MainPagesTest, RepeatRefusesAnEmptyIntervalAndAsksBeforeStoringATask) {
    CreateMainWindow();
    ChooseKind(IDC_KIND_AFTER);
    ChooseAction(PowerAction::LockWindows);
    ::SetWindowTextW(HomeItem(IDC_AFTER_HOURS), L"0");
    ::SetWindowTextW(HomeItem(IDC_AFTER_MINUTES), L"0");
    std::wstring text;
    {
        CDialogDriver driver({[&text](HWND box) {
            text = ControlText(box, 0xFFFF);
            ::SendMessageW(box, WM_COMMAND, IDOK, 0);
        }});
        Command(m_home, IDC_SCHEDULE_REPEAT);
    }
    EXPECT_EQ(text, L"The time interval can not be repeated.\nPlease try again.");
    EXPECT_TRUE(Scheduler().Entries().empty());
    EXPECT_TRUE(Settings().tasks.empty());

    // 12:00 AM: asked, refused with Cancel, then accepted: a daily task at midnight.
    ChooseKind(IDC_KIND_AT);
    ::SetWindowTextW(HomeItem(IDC_AT_HOUR), L"12");
    ::SetWindowTextW(HomeItem(IDC_AT_MINUTE), L"0");
    ::SendMessageW(HomeItem(IDC_AMPM), CB_SETCURSEL, 0, 0);
    for (int answer : {IDCANCEL, IDOK}) {
        CDialogDriver driver({[&text, answer](HWND box) {
            text = ControlText(box, 0xFFFF);
            ::SendMessageW(box, WM_COMMAND, answer, 0);
        }});
        Command(m_home, IDC_SCHEDULE_REPEAT);
        EXPECT_EQ(text,
                  L"Schedule a repeative task with current settings.\nScheduled Tasks can be found in the "
                  L"Schedule tab.");
        EXPECT_EQ(Settings().tasks.size(), answer == IDOK ? 1u : 0u);
    }
    ASSERT_EQ(Settings().tasks.size(), 1u);
    EXPECT_EQ(Settings().tasks[0].seconds, 0);
    EXPECT_EQ(Settings().tasks[0].kind, TimeKind::At);
    EXPECT_EQ(Settings().tasks[0].action, PowerAction::LockWindows);
    EXPECT_TRUE(HasValue(L"Task")) << "saved with the tasks";
    ASSERT_EQ(RowCount(), 1);
    HWND list = ::GetDlgItem(m_schedule, IDC_SCHEDULE_LIST);
    const std::wstring time = ListCell(list, 0, 0);
    EXPECT_FALSE(time.empty());
    EXPECT_EQ(ListCell(list, 0, 2), L"Daily at " + time);
}

TEST_F(MainPagesTest, DeleteRemovesTheSelectedRowWithItsStoredTaskAndNothingWithoutASelection) {
    // Two stored tasks and a countdown; the countdown comes first in the list, then the task due
    // sooner, which is the later of the two stored.
    Settings().AddTask({7200, TimeKind::After, PowerAction::Alarm, L"Tea"});
    Settings().AddTask({5400, TimeKind::After, PowerAction::Alarm, L"Nap"});
    SaveSettings(true);
    Scheduler().AddStoredTask(0);
    Scheduler().AddStoredTask(1);
    Scheduler().Add(TimeKind::After, 600, PowerAction::LockWindows, L"", false);
    CreateMainWindow();
    HWND list = ::GetDlgItem(m_schedule, IDC_SCHEDULE_LIST);
    ASSERT_EQ(RowCount(), 3);
    EXPECT_EQ(ListCell(list, 0, 2), L"None");
    EXPECT_EQ(ListCell(list, 1, 2), L"Every 1 hour 30 mins");
    EXPECT_EQ(ListCell(list, 2, 2), L"Every 2 hours 0 min");

    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Task");
    Command(m_schedule, IDC_DELETE);
    EXPECT_EQ(RowCount(), 3);
    EXPECT_FALSE(HasValue(L"Task")) << "nothing selected, nothing written";

    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    Command(m_schedule, IDC_DELETE);
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(ListCell(list, 1, 2), L"Every 2 hours 0 min");
    ASSERT_EQ(Settings().tasks.size(), 1u);
    EXPECT_EQ(Settings().tasks[0].parameter, L"Tea");
    EXPECT_TRUE(HasValue(L"Task"));
    wchar_t text[16] = {};
    DWORD size = sizeof(text);
    ASSERT_EQ(
        ::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, L"TaskParam0", RRF_RT_REG_SZ, nullptr, text, &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(text, L"Tea");
    EXPECT_FALSE(HasValue(L"TaskParam1"));
}

TEST_F(MainPagesTest, ScheduleRowsAreRebuiltOnlyOnceTheWindowIsUp) {
    CreateMainWindow();
    EXPECT_EQ(RowCount(), 0);
    Scheduler().Add(TimeKind::After, 600, PowerAction::DisplayOff, L"", false);
    EXPECT_EQ(RowCount(), 1);
    // A page that is gone is no longer told.
    m_dialog.reset();
    Scheduler().Add(TimeKind::After, 900, PowerAction::DisplayOff, L"", false);
    EXPECT_EQ(Scheduler().Entries().size(), 2u);
}

TEST_F(MainPagesTest, OptionsPageShowsTheStoredChoices) {
    struct Case {
        bool confirm;
        bool force;
        int32_t alarmSound;
        const wchar_t* soundFile;
        int entries;
        int selection;
    } const cases[] = {
        {true, false, 1, L"", 2, 1},
        {false, true, 0, L"C:\\Media\\bell.wav", 3, 0},
        {true, true, -1, L"C:\\Media\\bell.wav", 3, 2},
        {false, false, -1, L"", 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "alarmSound " << c.alarmSound);
        Settings() = CSettings();
        Settings().confirm = c.confirm;
        Settings().forceIfHung = c.force;
        Settings().alarmSound = c.alarmSound;
        Settings().soundFile = c.soundFile;
        CreateMainWindow();
        EXPECT_EQ(::IsDlgButtonChecked(m_options, IDC_CONFIRM) == BST_CHECKED, c.confirm);
        EXPECT_EQ(::IsDlgButtonChecked(m_options, IDC_FORCE_IF_HUNG) == BST_CHECKED, c.force);
        HWND sounds = ::GetDlgItem(m_options, IDC_SOUND_LIST);
        EXPECT_EQ(::SendMessageW(sounds, CB_GETCOUNT, 0, 0), c.entries);
        EXPECT_EQ(::SendMessageW(sounds, CB_GETCURSEL, 0, 0), c.selection);
        if (c.entries == 3) {
            EXPECT_EQ(ComboEntry(sounds, 2), L"bell.wav");
        }
        EXPECT_EQ(Settings().alarmSound, c.alarmSound) << "showing changes nothing";
        m_dialog.reset();
    }
}

TEST_F(MainPagesTest, OptionsChangeTheSettingsAndTheRunEntryAtOnce) {
    const wchar_t* runKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, runKey, L"Tivolan");
    CreateMainWindow();
    const auto runEntry = [runKey] {
        return ::RegGetValueW(HKEY_CURRENT_USER, runKey, L"Tivolan", RRF_RT_REG_SZ, nullptr, nullptr,
                              nullptr) == ERROR_SUCCESS;
    };
    for (bool checked : {true, false}) {
        ::CheckDlgButton(m_options, IDC_RUN_AT_LOG_ON, checked ? BST_CHECKED : BST_UNCHECKED);
        Command(m_options, IDC_RUN_AT_LOG_ON);
        EXPECT_EQ(runEntry(), checked);
    }
    ::CheckDlgButton(m_options, IDC_CONFIRM, BST_UNCHECKED);
    Command(m_options, IDC_CONFIRM);
    EXPECT_FALSE(Settings().confirm);
    ::CheckDlgButton(m_options, IDC_FORCE_IF_HUNG, BST_CHECKED);
    Command(m_options, IDC_FORCE_IF_HUNG);
    EXPECT_TRUE(Settings().forceIfHung);
    EXPECT_FALSE(HasValue(L"Confirm")) << "kept in memory until the next save";

    HWND sounds = ::GetDlgItem(m_options, IDC_SOUND_LIST);
    ::SendMessageW(sounds, CB_SETCURSEL, 0, 0);
    ::SendMessageW(m_options, WM_COMMAND, MAKEWPARAM(IDC_SOUND_LIST, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(sounds));
    EXPECT_EQ(Settings().alarmSound, 0);
}

}  // namespace
