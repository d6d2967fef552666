#include "scheduler/ui/tray.h"

#include <shellapi.h>
#include <wininet.h>

#include <algorithm>
#include <cwchar>
#include <utility>

#include "common/http/internet_root.h"
#include "common/platform/resource_string_table_win.h"
#include "common/text/format.h"
#include "common/ui/app_module.h"
#include "common/ui/resources.h"
#include "scheduler/core/forwarded_request.h"
#include "scheduler/core/power_action.h"
#include "scheduler/core/scheduler.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/core/update_toast_ad.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/alarm_box.h"
#include "scheduler/ui/toast_window.h"
#include "scheduler/ui/tray_language_menu.h"
#include "scheduler/ui/tray_tooltip.h"
#include "scheduler/ui/update_link.h"

namespace {

constexpr UINT kTickMilliseconds = 1000;
constexpr UINT kFirstOnlineCheckMilliseconds = 100;
constexpr UINT kOnlineRetryMilliseconds = 3000;
constexpr UINT kUpdateIntervalMilliseconds = 9 * 60 * 60 * 1000;
constexpr int kMenuLanguagePosition = 3;
constexpr uint32_t kNoticeMilliseconds = 10000;

// The record up to the tooltip of 128 units and nothing of later shell versions. The first
// version's record (152 bytes on 32-bit Windows) holds only 64 units and is not a size a 64-bit
// shell knows.
constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAW_V2_SIZE;

}  // namespace

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

CTray& Tray() {
    static CTray tray;
    return tray;
}

CTray::CTray() {
    // The process's requests name the program; a root opened before this keeps its own agent.
    CInternetRoot::Open(LoadUiString(IDS_APP_NAME));
    TaskbarCreatedMessage();
}

CTray::~CTray() {
    Destroy();
}

HWND CTray::Create() {
    if (!m_scheduler)
        return nullptr;
    WindowClass windowClass{kClassName};
    return CWindow::Create(windowClass, nullptr, kTitle, WS_POPUP, 0, RECT{});
}

bool CTray::Notify(DWORD operation, UINT id, const TrayIcon& icon, bool withIcon, bool withTip) {
    NOTIFYICONDATAW data{};
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = Hwnd();
    data.uID = id;
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = kNotifyMessage;
    if (withIcon) {
        data.uFlags |= NIF_ICON;
        data.hIcon = icon.icon;
    }
    if (withTip) {
        data.uFlags |= NIF_TIP;
        const std::wstring tip = TrayTooltipText(icon.tooltip);
        std::copy(tip.begin(), tip.end(), data.szTip);
        data.szTip[tip.size()] = L'\0';
    }
    return ::Shell_NotifyIconW(operation, &data) != FALSE;
}

bool CTray::SetIcon(UINT id, HICON icon, const std::wstring* tooltip) {
    auto found = m_icons.find(id);
    if (found != m_icons.end()) {
        TrayIcon& entry = found->second;
        if (icon) {
            if (entry.icon && entry.icon != icon)
                ::DestroyIcon(entry.icon);
            entry.icon = icon;
        }
        if (tooltip)
            entry.tooltip = *tooltip;
        return Notify(NIM_MODIFY, id, entry, icon != nullptr, tooltip != nullptr);
    }
    TrayIcon entry{icon, tooltip ? *tooltip : std::wstring()};
    if (!Notify(NIM_ADD, id, entry, icon != nullptr, tooltip != nullptr)) {
        if (icon)
            ::DestroyIcon(icon);
        return false;
    }
    m_icons.emplace(id, std::move(entry));
    return true;
}

void CTray::SetTooltip(const std::wstring& text) {
    SetIcon(kIconId, nullptr, &text);
}

void CTray::Enable(bool enable) {
    m_enabled = enable;
    if (!m_mainWindow)
        return;
    // A main window that a dialog of its own had disabled (the alarm text, a file to run or to play)
    // stays disabled until that dialog closes: enabled under it, it would take a second dialog.
    if (!enable)
        m_mainWasDisabled = ::EnableWindow(m_mainWindow, FALSE) != 0;
    else if (!std::exchange(m_mainWasDisabled, false))
        ::EnableWindow(m_mainWindow, TRUE);
}

void CTray::ShowAlarm(const std::wstring& message) {
    m_pendingAlarms.push_back(message);
    ::PostMessageW(Hwnd(), kShowAlarmMessage, 0, 0);
}

void CTray::StartAlarmSound() {
    ::StartAlarmSound(m_soundPlayer, Settings());
}

bool CTray::OnCreate() {
    // Not shared: the table owns its icons and destroys them.
    HICON icon = static_cast<HICON>(
        ::LoadImageW(CAppModule::Instance().Handle(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, 0));
    const std::wstring name = LoadUiString(IDS_APP_NAME);
    if (!SetIcon(kIconId, icon, &name))
        return false;
    m_menuImages.Load(CAppModule::Instance().Handle(), IDR_MENU_IMAGES, IDB_MENU_IMAGES);

    CSettings& settings = Settings();
    if (settings.TaskCount() > 0) {
        for (size_t i = 0; i < settings.TaskCount(); ++i)
            m_scheduler->AddStoredTask(i);
        m_scheduler->UpdateTrayTip();
    }
    ::SetTimer(Hwnd(), TickTimer, kTickMilliseconds, nullptr);
    ::SetTimer(Hwnd(), OnlineTimer, kFirstOnlineCheckMilliseconds, nullptr);
    return true;
}

void CTray::OnDestroy() {
    for (auto& [id, entry] : m_icons) {
        Notify(NIM_DELETE, id, entry, false, false);
        if (entry.icon)
            ::DestroyIcon(entry.icon);
    }
    m_icons.clear();
    ::KillTimer(Hwnd(), TickTimer);
    ::KillTimer(Hwnd(), OnlineTimer);
    ::KillTimer(Hwnd(), UpdateTimer);
    m_soundPlayer.Close();
    // The worker reports only by posting to this window; it is joined before the window goes. The
    // stop request closes a request in progress, so a server that never answers holds nothing up.
    m_updateChecker.RequestStop();
    m_updateChecker.Wait(INFINITE);
}

void CTray::OnTimer(UINT_PTR id) {
    switch (id) {
        case TickTimer:
            m_scheduler->Tick();
            break;
        case OnlineTimer: {
            DWORD flags = 0;
            const bool online = ::InternetGetConnectedState(&flags, 0) &&
                                (flags & (INTERNET_CONNECTION_MODEM | INTERNET_CONNECTION_LAN)) != 0;
            if (!online) {
                ::SetTimer(Hwnd(), OnlineTimer, kOnlineRetryMilliseconds, nullptr);
                break;
            }
            ::KillTimer(Hwnd(), OnlineTimer);
            m_updateChecker.Bind(Hwnd());
            StartUpdateCheck();
            ::SetTimer(Hwnd(), UpdateTimer, kUpdateIntervalMilliseconds, nullptr);
            break;
        }
        case UpdateTimer:
            if (!m_updateChecker.IsRunning())
                StartUpdateCheck();
            break;
        default:
            break;
    }
}

void CTray::ShowMainWindow() {
    if (m_mainWindow)
        ::ShowWindow(m_mainWindow, SW_SHOWNORMAL);
}

void CTray::OnNotifyIcon(UINT mouseMessage) {
    if (mouseMessage == WM_LBUTTONDBLCLK)
        ShowMainWindow();
    else if (mouseMessage == WM_RBUTTONUP)
        ShowMenu();
}

void CTray::ShowMenu() {
    if (!m_enabled || m_menuOpen)
        return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HMENU menu = LoadMenuInLanguage(CAppModule::Instance().Handle(), IDR_TRAY_MENU,
                                    CAppModule::Instance().ResourceLanguage());
    if (!menu)
        return;
    HMENU popup = ::GetSubMenu(menu, 0);
    if (popup) {
        ::SetForegroundWindow(Hwnd());
        if (m_mainWindow && ::IsWindowVisible(m_mainWindow))
            ::EnableMenuItem(popup, 0, MF_BYPOSITION | MF_GRAYED);
        ::SetMenuDefaultItem(popup, 0, TRUE);
        if (HMENU languages = ::GetSubMenu(popup, kMenuLanguagePosition))
            ::CheckMenuRadioItem(languages, TrayLanguageCommand::RadioFirst, TrayLanguageCommand::RadioLast,
                                 CheckedLanguageCommand(Settings().setLang), MF_BYCOMMAND);
        m_menuImages.Apply(popup);
        m_menuOpen = true;
        ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, Hwnd(), nullptr);
        m_menuOpen = false;
        ::SendMessageW(Hwnd(), WM_NULL, 0, 0);
    }
    ::DestroyMenu(menu);
}

void CTray::ChooseLanguage(UINT command) {
    const std::optional<LanguageChoice> choice = LanguageChoiceFor(command, ::GetUserDefaultLangID());
    if (!choice)
        return;
    const std::wstring notice = LoadStringInLanguage(CAppModule::Instance().Handle(),
                                                     IDS_LANGUAGE_RESTART_NOTICE, choice->noticeLanguage)
                                    .value_or(std::wstring());
    CSettings& settings = Settings();
    settings.setLang = choice->setLang;
    ::MessageBoxW(Hwnd(), notice.c_str(), LoadUiString(IDS_APP_NAME).c_str(), MB_OK | MB_ICONINFORMATION);
    SaveSettings(false);
}

void CTray::Exit() {
    ToastWindow().Close();
    if (m_mainWindow && ::IsWindow(m_mainWindow))
        ::DestroyWindow(m_mainWindow);
    m_mainWindow = nullptr;
    Destroy();
    ::PostQuitMessage(0);
}

bool CTray::OnCommand(UINT id) {
    if (id >= ID_TRAY_ACTION_FIRST && id <= ID_TRAY_ACTION_LAST) {
        if (m_enabled)
            m_scheduler->Add(static_cast<int32_t>(TimeKind::After), 0,
                            static_cast<int32_t>(id - ID_TRAY_ACTION_FIRST), std::wstring(), false);
        return true;
    }
    if (id >= ID_LANG_SYSTEM && id <= ID_LANG_GREEK) {
        ChooseLanguage(id);
        return true;
    }
    switch (id) {
        case ID_TRAY_OPEN:
            ShowMainWindow();
            if (m_mainWindow)
                ::SetForegroundWindow(m_mainWindow);
            return true;
        case ID_TRAY_HOMEPAGE:
            if (m_openProductPage)
                m_openProductPage(Hwnd());
            return true;
        case ID_TRAY_EXIT:
            Exit();
            return true;
        case ID_CHECK_UPDATE:
            // The check dispatches messages while it waits for the server: one at a time.
            if (!m_manualCheckRunning) {
                m_manualCheckRunning = true;
                RunManualUpdateCheck(Hwnd());
                m_manualCheckRunning = false;
            }
            return true;
        default:
            return false;
    }
}

LRESULT CTray::OnCopyData(const COPYDATASTRUCT& data) {
    // While the confirmation countdown is open the request is taken and dropped.
    if (!m_enabled)
        return 1;
    const std::optional<ForwardedRequest> request =
        ForwardedRequest::Decode(data.dwData, data.lpData, data.cbData);
    if (!request)
        return 0;
    m_scheduler->Add(request->kind, request->seconds, request->action, request->text, false);
    return 1;
}

void CTray::StartUpdateCheck() {
    // The previous run has ended (IsRunning is false), so its handle can go before the next start.
    m_updateChecker.Wait(INFINITE);
    m_updateChecker.SetLanguage(LoadUiString(IDS_LANGUAGE_CODE));
    m_updateChecker.Start();
}

void CTray::OnUpdateNotify(int outcome) {
    const bool showStartNotice = m_showStartNotice;
    m_showStartNotice = false;
    if (outcome == static_cast<int>(UpdateOutcome::Loaded) && m_updateChecker.Accept() &&
        m_updateChecker.ShouldNotify(false)) {
        const UpdateInfo& info = m_updateChecker.Info();
        CUpdateLink& link = UpdateLink();
        link.SetAddress(info.url);
        ToastWindow().Show(FormatText(LoadUiString(IDS_UPDATE_NOTICE), {info.display}),
                           LoadUiString(IDS_APP_NAME), kNoticeMilliseconds, IDI_APP, &link);
        return;
    }
    if (!showStartNotice)
        return;
    CScheduler& scheduler = *m_scheduler;
    if (!scheduler.Entries().empty())
        scheduler.ShowDueNotice(scheduler.Entries().front());
    else if (ToastAdRecord().present)
        ToastWindow().Show(LoadUiString(IDS_START_NOTICE), LoadUiString(IDS_APP_NAME), kNoticeMilliseconds,
                           IDI_APP, nullptr);
}

void CTray::OnShowAlarm() {
    if (m_pendingAlarms.empty())
        return;
    const std::wstring message = std::move(m_pendingAlarms.front());
    m_pendingAlarms.pop_front();
    ShowAlarmBox(Hwnd(), message, m_soundPlayer, Settings());
}

LRESULT CTray::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_CLOSE:
            Exit();
            return 0;
        case WM_COPYDATA:
            return lParam ? OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam)) : 0;
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam)))
                return 0;
            break;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_MEASUREITEM:
            if (lParam && m_menuImages.OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
                return TRUE;
            break;
        case WM_DRAWITEM:
            if (lParam && m_menuImages.OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
                return TRUE;
            break;
        case kNotifyMessage:
            OnNotifyIcon(static_cast<UINT>(lParam));
            return 0;
        case kShowAlarmMessage:
            OnShowAlarm();
            return 0;
        case kUpdateResultMessage:
            // The outcome is the worker's own, and only once it has finished: a result message from
            // anyone else, or one that comes while the worker runs, finds nothing and does nothing.
            if (const std::optional<UpdateOutcome> outcome = m_updateChecker.TakeResult())
                OnUpdateNotify(static_cast<int>(*outcome));
            return 0;
        default:
            if (message == TaskbarCreatedMessage() && message != 0) {
                for (const auto& [id, entry] : m_icons)
                    Notify(NIM_ADD, id, entry, entry.icon != nullptr, true);
                return 0;
            }
            break;
    }
    return DefaultProc(message, wParam, lParam);
}
