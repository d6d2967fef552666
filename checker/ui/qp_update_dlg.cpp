#include "checker/ui/qp_update_dlg.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "checker/core/download_file_name.h"
#include "checker/core/download_file_win.h"
#include "checker/core/download_folder_win.h"
#include "checker/core/download_progress.h"
#include "checker/core/download_transfer_win.h"
#include "checker/core/installer_signature_win.h"
#include "checker/core/installer_trust.h"
#include "checker/core/notification_page_layout.h"
#include "checker/core/version_rules.h"
#include "checker/res/resource.h"
#include "checker/ui/checker_message.h"
#include "checker/ui/config_dlg.h"
#include "common/browser/browser_emulation_win.h"
#include "common/browser/browser_user_agent_win.h"
#include "common/browser/ie_cookie_api_win.h"
#include "common/text/web_address.h"
#include "common/ui/window.h"

namespace {

constexpr UINT kProgressIntervalMs = 1000;
constexpr int kProgressRange = 1000;

// Labels are longer than the box beside the buttons; the open list shows them whole, up to the width
// of the screen.
void WidenDropDown(HWND list) {
    HDC dc = ::GetDC(list);
    if (!dc)
        return;
    const HGDIOBJ previous =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    const LRESULT count = ::SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(
            static_cast<size_t>(std::max<LRESULT>(0, ::SendMessageW(list, CB_GETLBTEXTLEN, i, 0))), L'\0');
        ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        SIZE size{};
        if (::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
            widest = std::max(widest, size.cx);
    }
    ::SelectObject(dc, previous);
    ::ReleaseDC(list, dc);
    const int margins = 4 * ::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXVSCROLL);
    const int width = std::min<int>(widest + margins, ::GetSystemMetrics(SM_CXSCREEN));
    // The list is never narrower than the box itself, whatever is asked here.
    ::SendMessageW(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

// The DPI the dialog is laid out in: the window's own (Windows 10 1607 and later, looked up at run
// time), else the screen's.
int DialogDpi(HWND dialog) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const GetDpiForWindowFn getDpiForWindow = [] {
        HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        return user32 ? reinterpret_cast<GetDpiForWindowFn>(
                            reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow")))
                      : nullptr;
    }();
    if (getDpiForWindow) {
        const UINT dpi = getDpiForWindow(dialog);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    HDC dc = ::GetDC(dialog);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : kBaseDpi;
    if (dc)
        ::ReleaseDC(dialog, dc);
    return dpi > 0 ? dpi : kBaseDpi;
}

// Someone else's window in front, where the user may be typing: the desktop itself does not count.
bool AnotherProgramInFront() {
    HWND front = ::GetForegroundWindow();
    if (!front || !::IsWindowVisible(front) || front == ::GetShellWindow() || front == ::GetDesktopWindow())
        return false;
    DWORD process = 0;
    ::GetWindowThreadProcessId(front, &process);
    return process != ::GetCurrentProcessId();
}

void OpenInBrowser(const std::wstring& url) {
    ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace

CQPUpdateDlg::CQPUpdateDlg(CVersionInfo& info)
    : CDialog(IDD_QPUPDATE), m_info(info), m_worker(static_cast<IRunnable*>(this)) {}

CQPUpdateDlg::~CQPUpdateDlg() {
    // The dialog only ends once its download is over, but a worker must never outlive the state it
    // writes, nor leave a half-written installer behind.
    StopDownload();
}

void CQPUpdateDlg::SetInstalledVersion(std::wstring display, std::wstring spec) {
    m_installedDisplay = std::move(display);
    m_installedSpec = std::move(spec);
}

BOOL CQPUpdateDlg::OnInitDialog() {
    m_icon = LoadProgramIcon(::GetSystemMetrics(SM_CXICON));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon.Get()));

    FillOfferedItems();
    ::SetDlgItemTextW(Hwnd(), IDC_INSTALLED_VERSION, m_installedDisplay.c_str());
    ::SetDlgItemTextW(Hwnd(), IDC_NEW_VERSION, m_info.display.c_str());
    // The template centres the dialog at its own size; the page then makes it taller downwards.
    AddNotificationPage();
    if (m_activation == Activation::Background && AnotherProgramInFront()) {
        // Shown now, so the dialog manager does not show (and activate) it after this message.
        ::ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
        FLASHWINFO flash{sizeof(flash), Hwnd(), FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
        ::FlashWindowEx(&flash);
        return FALSE;
    }
    ::SetForegroundWindow(Hwnd());
    return TRUE;
}

void CQPUpdateDlg::FillOfferedItems() {
    HWND list = Item(IDC_OFFERED_ITEMS);
    m_itemOfEntry.clear();
    for (size_t index = 0; index < m_info.items.size(); ++index) {
        const CVersionItem& item = m_info.items[index];
        if (!IsListedForEdition(item, m_installedSpec))
            continue;
        const LRESULT position =
            ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.label.c_str()));
        if (position < 0)
            continue;
        ::SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(position), static_cast<LPARAM>(index));
        m_itemOfEntry.push_back(index);
    }
    if (!m_itemOfEntry.empty()) {
        ::SendMessageW(list, CB_SETCURSEL, 0, 0);
        WidenDropDown(list);
        return;
    }
    // Nothing offered for this edition: OK would have nothing to act on.
    ::EnableWindow(Item(IDOK), FALSE);
    ::SendMessageW(Hwnd(), DM_SETDEFID, IDCANCEL, 0);
}

void CQPUpdateDlg::AddNotificationPage() {
    // The page comes from the endpoint's answer: anything but a web page is not shown.
    if (m_info.adUrl.empty() || !IsWebAddress(m_info.adUrl))
        return;
    EnableBrowserEmulation();
    if (!m_info.adAgent.empty())
        SetBrowserUserAgent(m_info.adAgent);
    m_cookies = std::make_unique<CProtectedModeCookieSync>(CreateIeCookieApi());
    for (const CCookieUrl& cookie : m_info.cookies) {
        if (!IsWebAddress(cookie.url))
            continue;
        const std::optional<std::wstring> policy =
            cookie.p3p.empty() ? std::nullopt : std::optional<std::wstring>(cookie.p3p);
        m_cookies->SyncCookies(cookie.url, policy);
    }

    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const NotificationPageLayout layout = LayOutNotificationPage(
        client.right - client.left, client.bottom, m_info.adWidth, m_info.adHeight, DialogDpi(Hwnd()));
    const RECT rect{layout.left, layout.top, layout.left + layout.width, layout.top + layout.height};
    auto page = std::make_unique<CWebBrowser2>();
    if (!page->CreateHost(Hwnd(), rect, 0, nullptr))
        return;
    if (!page->HasControl()) {
        // Without a browser the dialog keeps its normal size.
        page->Destroy();
        return;
    }
    page->Navigate(m_info.adUrl);
    m_page = std::move(page);
    m_pageKeys = std::make_unique<CModalMessageFilter>(static_cast<IWindowMessageFilter*>(this));

    RECT window{};
    ::GetWindowRect(Hwnd(), &window);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, window.right - window.left,
                   window.bottom - window.top + layout.dialogGrowth, SWP_NOMOVE | SWP_NOZORDER);
}

bool CQPUpdateDlg::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case IDOK:
            ChooseEntry();
            return true;
        case IDCANCEL:
            OnCancel();
            return true;
        default:
            return CDialog::OnCommand(id, code, control);
    }
}

void CQPUpdateDlg::ChooseEntry() {
    // A second OK while a download runs (the button is disabled, but Enter reaches the dialog).
    if (m_job.Progress().state != DownloadState::Idle)
        return;
    const LRESULT position = ::SendMessageW(Item(IDC_OFFERED_ITEMS), CB_GETCURSEL, 0, 0);
    if (position < 0 || static_cast<size_t>(position) >= m_itemOfEntry.size())
        return;
    const CVersionItem& item = m_info.items[m_itemOfEntry[static_cast<size_t>(position)]];
    if (!IsLinkItem(item)) {
        StartDownload(item);
        return;
    }
    // Only web pages are handed to the shell; the document could name any program otherwise.
    if (IsWebAddress(item.url))
        OpenInBrowser(item.url);
    EndDialog(IDOK);
}

void CQPUpdateDlg::StartDownload(const CVersionItem& item) {
    // A name that could leave the folder, is no file name at all or names no installer gives no path,
    // and the worker fails before it asks for anything.
    const std::optional<std::wstring> name = DownloadFileName(item.url);
    // Without a folder there is no path either.
    m_downloadFolder = name && IsLaunchableInstallerName(*name) ? CreateDownloadFolder() : std::wstring();
    m_job.Prepare(item.url, DownloadFilePath(m_downloadFolder, item.url));
    m_trustedPublishers = CurrentTrustedPublishers();

    m_abort.Reset();
    if (!m_worker.Start()) {
        ShowCheckerMessage(Hwnd(), IDS_DOWNLOAD_NOT_STARTED, MB_OK | MB_ICONWARNING);
        EndDialog(IDOK);
        return;
    }
    ::EnableWindow(Item(IDOK), FALSE);
    ::SendMessageW(Hwnd(), DM_SETDEFID, IDCANCEL, 0);
    ::SetFocus(Item(IDCANCEL));
    ::ShowWindow(Item(IDC_OFFERED_ITEMS), SW_HIDE);
    HWND progress = Item(IDC_DOWNLOAD_PROGRESS);
    ::ShowWindow(progress, SW_SHOW);
    ::SendMessageW(progress, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
    ::SetTimer(Hwnd(), IDT_DOWNLOAD_PROGRESS, kProgressIntervalMs, nullptr);
}

bool CQPUpdateDlg::PreTranslateMessage(MSG& msg) {
    return m_page && m_page->TranslateAccelerator(msg);
}

void CQPUpdateDlg::Run() {
    RunDownload();
}

DownloadState CQPUpdateDlg::RunDownload() {
    CWinInetDownloadTransfer transfer(&m_abort);
    return m_job.Run(
        transfer, m_file, [this] { return m_worker.IsStopRequested(); }, [this] { return IsTrustedInstaller(); });
}

bool CQPUpdateDlg::IsTrustedInstaller() const {
    const std::optional<std::wstring> signer = TrustedSignerOf(m_file.Sealed(), m_file.Path());
    return signer && IsTrustedPublisher(*signer, m_trustedPublishers);
}

void CQPUpdateDlg::RemoveDownloadedFile() {
    m_file.Release();
    RemoveDownload(m_job.FilePath(), m_downloadFolder);
}

void CQPUpdateDlg::OnProgressTimer() {
    const DownloadProgress progress = m_job.Progress();
    HWND bar = Item(IDC_DOWNLOAD_PROGRESS);
    switch (progress.state) {
        case DownloadState::Receiving:
            if (const std::optional<int32_t> position =
                    ProgressBarPosition(progress.receivedBytes, progress.totalBytes))
                ::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(*position), 0);
            break;
        case DownloadState::Completed:
            ::SendMessageW(bar, PBM_SETPOS, kProgressRange, 0);
            ::KillTimer(Hwnd(), IDT_DOWNLOAD_PROGRESS);
            m_worker.Wait(INFINITE);
            // The installer stays where it is: it is running from there, and the next start of the
            // checker removes the folder. The file is held, unchangeable, until the dialog goes.
            ::ShellExecuteW(nullptr, L"open", m_job.FilePath().c_str(), nullptr, nullptr, SW_SHOW);
            EndDialog(IDOK);
            break;
        case DownloadState::Failed:
            ::KillTimer(Hwnd(), IDT_DOWNLOAD_PROGRESS);
            m_worker.Wait(INFINITE);
            RemoveDownloadedFile();
            ShowCheckerMessage(Hwnd(), IDS_DOWNLOAD_FAILED, MB_OK | MB_ICONWARNING);
            EndDialog(IDOK);
            break;
        default:
            break;
    }
}

void CQPUpdateDlg::OnCancel() {
    if (m_job.Progress().state != DownloadState::Idle) {
        // The progress timer waits while the question is open, so a download that ends meanwhile
        // does not start the installer behind the user's back; it resumes on No.
        ::KillTimer(Hwnd(), IDT_DOWNLOAD_PROGRESS);
        const int answer = ShowCheckerMessage(Hwnd(), IDS_CANCEL_UPDATE_QUESTION, MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES) {
            ::SetTimer(Hwnd(), IDT_DOWNLOAD_PROGRESS, kProgressIntervalMs, nullptr);
            return;
        }
        StopDownload();
    }
    RunReminderDialog(Hwnd());
    EndDialog(IDCANCEL);
}

void CQPUpdateDlg::StopDownload() {
    if (!m_worker.IsRunning())
        return;
    m_worker.RequestStop();
    // A read waiting on a server that has gone quiet would otherwise hold the dialog until it times out.
    m_abort.Abort();
    m_worker.Wait(INFINITE);
    RemoveDownloadedFile();
}

std::optional<LRESULT> CQPUpdateDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_DESTROY:
            m_pageKeys.reset();
            return std::nullopt;
        case WM_TIMER:
            if (wParam != IDT_DOWNLOAD_PROGRESS)
                return std::nullopt;
            OnProgressTimer();
            return 0;
        case WM_PAINT:
            if (!::IsIconic(Hwnd()))
                return std::nullopt;
            PaintMinimised();
            return 0;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(m_icon.Get());
        default:
            return std::nullopt;
    }
}

void CQPUpdateDlg::PaintMinimised() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Hwnd(), &paint);
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_icon.Get());
    ::EndPaint(Hwnd(), &paint);
}
