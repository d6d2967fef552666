#include "scheduler/ui/timeout_dlg.h"

#include <algorithm>
#include <limits>

#include "common/platform/resource_string_table_win.h"
#include "common/ui/app_module.h"
#include "common/ui/window.h"
#include "scheduler/core/countdown_texts.h"
#include "scheduler/res/resource.h"

CTimeoutDlg::CTimeoutDlg(int32_t action, const IClock& clock)
    : CDialog(IDD_TIMEOUT),
      m_action(action),
      m_clock(clock),
      m_deadline(clock.Now() + kCountdownSeconds),
      m_lastNow(m_deadline - kCountdownSeconds) {}

CTimeoutDlg::~CTimeoutDlg() {
    ReleaseFont();
}

void CTimeoutDlg::ReleaseFont() {
    if (m_boldFont) {
        ::DeleteObject(m_boldFont);
        m_boldFont = nullptr;
    }
}

BOOL CTimeoutDlg::OnInitDialog() {
    const std::optional<CountdownTexts> texts = CountdownTextsFor(m_action);
    if (!texts) {
        // Nothing may be performed that the user could not be asked about.
        EndDialog(IDCANCEL);
        return TRUE;
    }
    const CAppModule& module = CAppModule::Instance();
    const CResourceStringTable strings(module.Handle(), module.ResourceLanguage());

    CenterWindow(Hwnd());
    // Without an owner the countdown is a window of its own on the taskbar, where a user who is
    // looking at another program still sees it.
    if (!::GetWindow(Hwnd(), GW_OWNER))
        ::SetWindowLongPtrW(Hwnd(), GWL_EXSTYLE, ::GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
    ::SendDlgItemMessageW(
        Hwnd(), IDC_ACTION_ICON, STM_SETICON,
        reinterpret_cast<WPARAM>(::LoadIconW(module.Handle(), MAKEINTRESOURCEW(texts->iconGroup))), 0);

    HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageW(Hwnd(), WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    if (::GetObjectW(dialogFont ? static_cast<HGDIOBJ>(dialogFont) : ::GetStockObject(DEFAULT_GUI_FONT),
                     sizeof(logFont), &logFont) != 0) {
        logFont.lfWeight = FW_BOLD;
        ReleaseFont();
        m_boldFont = ::CreateFontIndirectW(&logFont);
    }
    // The control also measures and wraps with the bold font, not only draws with it.
    if (m_boldFont)
        ::SendDlgItemMessageW(Hwnd(), IDC_CONFIRM_QUESTION, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont),
                              FALSE);
    ::SetDlgItemTextW(Hwnd(), IDC_CONFIRM_QUESTION, strings.Load(texts->questionId).c_str());

    ShowSecondsLeft(SecondsLeft());
    ::SetTimer(Hwnd(), kTimerId, kTimerMilliseconds, nullptr);
    ::SetFocus(Item(IDOK));
    ::SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    return FALSE;
}

int64_t CTimeoutDlg::SecondsLeft() {
    // A clock set back would lengthen the minute (by hours, even); time that runs backwards counts
    // as no time at all, so the countdown only pauses. A clock set forward shortens it, as it brings
    // every scheduled entry closer too: the wall clock is all the scheduler goes by.
    const int64_t now = m_clock.Now();
    if (now < m_lastNow)
        m_deadline -= m_lastNow - now;
    m_lastNow = now;
    return m_deadline - now;
}

void CTimeoutDlg::ShowSecondsLeft(int64_t secondsLeft) {
    const int32_t shown = static_cast<int32_t>(std::clamp<int64_t>(secondsLeft, 0, kCountdownSeconds));
    const CAppModule& module = CAppModule::Instance();
    const CResourceStringTable strings(module.Handle(), module.ResourceLanguage());
    ::SetDlgItemTextW(Hwnd(), IDC_CONFIRM_COUNTDOWN, CountdownLine(strings, m_action, shown).c_str());
}

void CTimeoutDlg::OnTimer() {
    const int64_t left = SecondsLeft();
    if (left > 0)
        ShowSecondsLeft(left);
    else
        Finish(IDOK);
}

void CTimeoutDlg::Finish(INT_PTR result) {
    ::KillTimer(Hwnd(), kTimerId);
    EndDialog(result);
}

bool CTimeoutDlg::OnCommand(int id, int, HWND) {
    // Escape and the close box arrive as IDCANCEL.
    if (id == IDOK || id == IDCANCEL) {
        Finish(id);
        return true;
    }
    return false;
}

std::optional<LRESULT> CTimeoutDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        OnTimer();
        return 0;
    }
    if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == Item(IDC_CONFIRM_QUESTION)) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetBkMode(dc, TRANSPARENT);
        if (m_boldFont)
            ::SelectObject(dc, m_boldFont);
        return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    }
    return std::nullopt;
}
