#include "scheduler/ui/home_page.h"

#include <span>
#include <string>

#include "common/path/file_system.h"
#include "common/path/path.h"
#include "common/ui/app_module.h"
#include "common/ui/resources.h"
#include "common/ui/window.h"
#include "scheduler/core/action_arguments.h"
#include "scheduler/core/os_version.h"
#include "scheduler/core/os_version_win.h"
#include "scheduler/core/power_action.h"
#include "scheduler/core/power_platform_win.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/open_file_dialog.h"
#include "scheduler/ui/set_alarm_dlg.h"
#include "scheduler/ui/shell_link.h"
#include "scheduler/ui/shortcut_name.h"
#include "scheduler/ui/tivolan_app.h"
#include "scheduler/ui/ux_theme.h"

namespace {

void FillBox(HWND box, std::span<const wchar_t* const> entries, int32_t value) {
    for (const wchar_t* entry : entries)
        ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    ::SetWindowTextW(box, std::to_wstring(value).c_str());
}

// What the program's icon resources hold, in order: the program, then one icon per action. A
// shortcut names its icon by that position.
int ShortcutIconIndex(int32_t action) {
    return action + 1;
}

}  // namespace

CHomePage::CHomePage() : CPageDialog(IDD_HOME) {}

BOOL CHomePage::OnInitDialog() {
    ApplyTabPageTheme(Hwnd());
    m_afterHours = Item(IDC_AFTER_HOURS);
    m_afterMinutes = Item(IDC_AFTER_MINUTES);
    m_atHour = Item(IDC_AT_HOUR);
    m_atMinute = Item(IDC_AT_MINUTE);
    m_actions = Item(IDC_ACTION_LIST);
    const CSettings& settings = Settings();

    HWND ampm = Item(IDC_AMPM);
    for (UINT id : {IDS_AM, IDS_PM})
        ::SendMessageW(ampm, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadUiString(id).c_str()));

    // Every kind but After counts as a clock time, and every AM/PM value but 0 as PM, wherever the
    // settings are used: the page shows a stored value as it will be acted on.
    ::CheckRadioButton(Hwnd(), IDC_KIND_AFTER, IDC_KIND_AT,
                       settings.type == TimeKind::After ? IDC_KIND_AFTER : IDC_KIND_AT);
    ::SendMessageW(ampm, CB_SETCURSEL, settings.ampm != 0 ? 1 : 0, 0);

    FillBox(m_afterHours, CountdownHourEntries(), settings.hour1);
    FillBox(m_afterMinutes, MinuteEntries(), settings.min1);
    FillBox(m_atHour, ClockHourEntries(), settings.hour2);
    FillBox(m_atMinute, MinuteEntries(), settings.min2);

    CPowerActions& power = SystemPowerActions();
    const std::vector<int32_t> actions = HomePageActions(power.IsSleepAllowed(), power.IsHibernateAllowed());
    for (int32_t action : actions) {
        const LRESULT index =
            ::SendMessageW(m_actions, CB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(ActionTexts().ActionDescription(action).c_str()));
        if (index >= 0)
            ::SendMessageW(m_actions, CB_SETITEMDATA, static_cast<WPARAM>(index), action);
    }
    ::SendMessageW(m_actions, CB_SETCURSEL, ActionListIndex(actions, settings.mode), 0);

    if (GetOsVersionClass() < OsVersionCode::Windows7)
        ::EnableWindow(Item(IDC_PIN_TO_TASKBAR), FALSE);
    UpdateControls();
    return TRUE;
}

bool CHomePage::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case IDC_KIND_AFTER:
        case IDC_KIND_AT:
            if (code == BN_CLICKED) {
                Settings().type = id == IDC_KIND_AFTER ? TimeKind::After : TimeKind::At;
                UpdateControls();
            }
            return true;
        case IDC_ACTION_LIST:
            if (code == CBN_SELCHANGE) {
                const LRESULT selection = ::SendMessageW(m_actions, CB_GETCURSEL, 0, 0);
                if (selection >= 0)
                    Settings().mode =
                        static_cast<int32_t>(::SendMessageW(m_actions, CB_GETITEMDATA, selection, 0));
                UpdateControls();
            }
            return true;
        case IDC_AFTER_HOURS:
        case IDC_AFTER_MINUTES:
        case IDC_AT_HOUR:
        case IDC_AT_MINUTE:
            if (code == CBN_KILLFOCUS)
                StoreBox(id);
            return true;
        case IDOK:
            Start();
            return true;
        case IDC_SCHEDULE_REPEAT:
            ScheduleRepeat();
            return true;
        case IDC_PIN_TO_TASKBAR:
            PinChoiceToTaskbar();
            return true;
        case IDC_DESKTOP_SHORTCUT:
            CreateDesktopShortcut();
            return true;
        default:
            return CPageDialog::OnCommand(id, code, control);
    }
}

int32_t CHomePage::ReadBox(HWND box, BoxBounds bounds) {
    const int32_t value = ReadBoxNumber(GetWindowTextString(box), bounds);
    ::SetWindowTextW(box, std::to_wstring(value).c_str());
    return value;
}

void CHomePage::StoreBox(int id) {
    CSettings& settings = Settings();
    switch (id) {
        case IDC_AFTER_HOURS:
            settings.hour1 = ReadBox(m_afterHours, kCountdownHourBounds);
            break;
        case IDC_AFTER_MINUTES:
            settings.min1 = ReadBox(m_afterMinutes, kMinuteBounds);
            break;
        case IDC_AT_HOUR:
            settings.hour2 = ReadBox(m_atHour, kClockHourBounds);
            break;
        case IDC_AT_MINUTE:
            settings.min2 = ReadBox(m_atMinute, kMinuteBounds);
            break;
        default:
            break;
    }
}

void CHomePage::CollectChoice() {
    CSettings& settings = Settings();
    if (::IsDlgButtonChecked(Hwnd(), IDC_KIND_AFTER) == BST_CHECKED)
        settings.type = TimeKind::After;
    else if (::IsDlgButtonChecked(Hwnd(), IDC_KIND_AT) == BST_CHECKED)
        settings.type = TimeKind::At;
    else
        settings.type = -1;
    settings.ampm = static_cast<int32_t>(::SendDlgItemMessageW(Hwnd(), IDC_AMPM, CB_GETCURSEL, 0, 0));
    for (int id : {IDC_AFTER_HOURS, IDC_AT_HOUR, IDC_AFTER_MINUTES, IDC_AT_MINUTE})
        StoreBox(id);
    const LRESULT selection = ::SendMessageW(m_actions, CB_GETCURSEL, 0, 0);
    if (selection >= 0)
        settings.mode = static_cast<int32_t>(::SendMessageW(m_actions, CB_GETITEMDATA, selection, 0));
}

void CHomePage::UpdateControls() {
    const CSettings& settings = Settings();
    const BOOL after = settings.type == TimeKind::After ? TRUE : FALSE;
    ::EnableWindow(m_afterHours, after);
    ::EnableWindow(m_afterMinutes, after);
    ::EnableWindow(Item(IDC_AMPM), !after);
    ::EnableWindow(m_atHour, !after);
    ::EnableWindow(m_atMinute, !after);
    HICON icon = ::LoadIconW(CAppModule::Instance().Handle(),
                             MAKEINTRESOURCEW(CActionTexts::ActionIcon(settings.mode)));
    ::SendDlgItemMessageW(Hwnd(), IDC_ACTION_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

std::optional<std::wstring> CHomePage::AskParameter() {
    switch (Settings().mode) {
        case PowerAction::Alarm:
            return AskAlarmMessage(::GetActiveWindow());
        case PowerAction::Run:
            return AskOpenFile(::GetActiveWindow(), IDS_ACTION_NAME_RUN, IDS_RUN_FILTER);
        default:
            return std::wstring();
    }
}

void CHomePage::Start() {
    CollectChoice();
    const std::optional<std::wstring> parameter = AskParameter();
    if (!parameter)
        return;
    ::ShowWindow(::GetAncestor(Hwnd(), GA_ROOT), SW_HIDE);
    CSettings& settings = Settings();
    Scheduler().Add(settings.type, settings.ScheduleSeconds(), settings.mode, *parameter, false);
    SaveSettings(false);
}

void CHomePage::ScheduleRepeat() {
    CollectChoice();
    CSettings& settings = Settings();
    const std::wstring caption = LoadUiString(IDS_APP_NAME);
    if (settings.type == TimeKind::After && settings.ScheduleSeconds() == 0) {
        ::MessageBoxW(Hwnd(), LoadUiString(IDS_REPEAT_NOT_POSSIBLE).c_str(), caption.c_str(), MB_ICONERROR);
        return;
    }
    if (::MessageBoxW(Hwnd(), LoadUiString(IDS_REPEAT_CONFIRM).c_str(), caption.c_str(),
                      MB_ICONINFORMATION | MB_OKCANCEL) != IDOK)
        return;
    const std::optional<std::wstring> parameter = AskParameter();
    if (!parameter)
        return;
    Scheduler().Add(settings.type, settings.ScheduleSeconds(), settings.mode, *parameter, true);
    SaveSettings(true);
}

void CHomePage::PinChoiceToTaskbar() {
    CollectChoice();
    const std::wstring program = GetModuleFilePath();
    const std::optional<std::wstring> parameter = AskParameter();
    if (!parameter || program.empty())
        return;
    const CSettings& settings = Settings();
    PinToTaskbar(ActionTexts().ActionName(settings.mode), program, BuildActionArguments(settings, *parameter),
                 program, ShortcutIconIndex(settings.mode), std::wstring());
}

void CHomePage::CreateDesktopShortcut() {
    CollectChoice();
    const CSettings& settings = Settings();
    const std::wstring program = GetModuleFilePath();
    std::wstring path = DesktopFolder();
    const std::wstring name = ShortcutFileName(ActionTexts().ActionName(settings.mode));
    // Without the desktop folder the shortcut would land in the current directory instead.
    if (path.empty() || program.empty() || name.empty() || !AppendPath(path, (name + L".lnk").c_str()))
        return;
    const std::optional<std::wstring> parameter = AskParameter();
    if (!parameter)
        return;
    ShortcutDescription shortcut;
    shortcut.filePath = path;
    shortcut.target = program;
    shortcut.arguments = BuildActionArguments(settings, *parameter);
    shortcut.iconPath = program;
    shortcut.iconIndex = ShortcutIconIndex(settings.mode);
    CreateShortcutFile(shortcut);
}
