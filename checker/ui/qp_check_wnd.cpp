#include "checker/ui/qp_check_wnd.h"

#include <wininet.h>

#include <ctime>
#include <utility>

#include "checker/core/check_start.h"
#include "checker/core/checker_state.h"
#include "checker/res/resource.h"
#include "common/platform/registry_win.h"

namespace {

int64_t CurrentTime() {
    return static_cast<int64_t>(std::time(nullptr));
}

bool IsOnline() {
    DWORD flags = 0;
    return ::InternetGetConnectedState(&flags, 0) &&
           (flags & (INTERNET_CONNECTION_MODEM | INTERNET_CONNECTION_LAN)) != 0;
}

int64_t StoredLoadedTime() {
    CWin32Registry registry;
    return CCheckerState(registry).LoadedTime();
}

}  // namespace

CQPCheckWnd::CQPCheckWnd(Announcer announcer, std::function<void()> afterClose, CCheckerInstanceMutex& mutex)
    : m_loadedTime(StoredLoadedTime()),
      m_announcer(std::move(announcer)),
      m_afterClose(std::move(afterClose)),
      m_mutex(mutex) {}

CQPCheckWnd::~CQPCheckWnd() {
    // WM_DESTROY still needs this object's members; the worker is joined afterwards.
    Destroy();
}

HWND CQPCheckWnd::Create() {
    const RECT nowhere{0, 0, 0, 0};
    return CWindow::Create(WindowClass{kClassName}, nullptr, kTitle, WS_POPUP, WS_EX_TOOLWINDOW, nowhere);
}

LRESULT CQPCheckWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(wParam, lParam);
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QP_NEWVERSION:
            OnNewVersion();
            return 0;
        case WM_DESTROY:
            ::KillTimer(Hwnd(), IDT_START_CHECK);
            ::KillTimer(Hwnd(), IDT_CLOSE_WHEN_DONE);
            if (m_isMainWindow)
                ::PostQuitMessage(0);
            return 0;
        default:
            return DefaultProc(message, wParam, lParam);
    }
}

LRESULT CQPCheckWnd::OnCreate(WPARAM wParam, LPARAM lParam) {
    const bool anotherChecker = m_mutex.AlreadyExisted();
    if (DefaultProc(WM_CREATE, wParam, lParam) == -1 || anotherChecker)
        return -1;
    m_worker.SetTargetWindow(Hwnd());
    ::SetTimer(Hwnd(), IDT_START_CHECK, kStartCheckInterval, nullptr);
    return 0;
}

void CQPCheckWnd::OnTimer(UINT_PTR id) {
    if (id == IDT_START_CHECK) {
        if (TryStartCheck()) {
            ::KillTimer(Hwnd(), IDT_START_CHECK);
            ::SetTimer(Hwnd(), IDT_CLOSE_WHEN_DONE, kCloseWhenDoneInterval, nullptr);
        }
    } else if (id == IDT_CLOSE_WHEN_DONE) {
        if (!m_worker.IsRunning()) {
            ::KillTimer(Hwnd(), IDT_CLOSE_WHEN_DONE);
            ::PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
        }
    }
}

bool CQPCheckWnd::TryStartCheck() {
    const CheckStartServices services{
        m_calendar,
        CurrentTime,
        IsOnline,
        [this] { return m_worker.IsRunning(); },
        [this] { return m_worker.Start(); },
    };
    return ::TryStartCheck(services, m_loadedTime);
}

void CQPCheckWnd::OnClose() {
    if (m_updateDialogOpen)
        return;
    Destroy();
    try {
        if (m_afterClose)
            m_afterClose();
    } catch (...) {
        // The process ends either way; the partner's program is not worth more than that.
    }
}

void CQPCheckWnd::OnNewVersion() {
    // Only one announcement at a time, even if a nested loop delivers another; and only the one the
    // worker asked for once its check was over (anyone can post this message, at any time).
    if (m_updateDialogOpen || !m_worker.TakeAnnouncement())
        return;
    m_updateDialogOpen = true;
    try {
        const std::wstring display = m_worker.InstalledDisplay();
        const std::wstring spec = m_worker.InstalledSpec();
        if (m_announcer)
            m_announcer(m_worker.VersionInfo(), display, spec);
    } catch (...) {
        // A failed announcement still ends the background run below.
    }
    m_updateDialogOpen = false;
    if (Hwnd())
        ::PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
}
