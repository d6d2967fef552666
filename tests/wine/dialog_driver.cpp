#include "tests/wine/dialog_driver.h"

#include "common/ui/window.h"

namespace {

CDialogDriver* g_driver = nullptr;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    // A modal question disables its owner, which may be a dialog too.
    if (std::wstring(className) == L"#32770" && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindThreadDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring ControlText(HWND dialog, int id) {
    return GetWindowTextString(::GetDlgItem(dialog, id));
}

CDialogDriver::CDialogDriver(std::vector<Step> steps, UINT intervalMilliseconds)
    : m_steps(std::move(steps)), m_interval(intervalMilliseconds) {
    g_driver = this;
    m_lastStepTime = ::GetTickCount();
    m_timer = ::SetTimer(nullptr, 0, m_interval, &CDialogDriver::OnTimer);
}

CDialogDriver::~CDialogDriver() {
    ::KillTimer(nullptr, m_timer);
    g_driver = nullptr;
}

void CALLBACK CDialogDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_driver)
        g_driver->Tick();
}

void CDialogDriver::Tick() {
    HWND dialog = FindThreadDialog();
    if (!dialog)
        return;
    if (m_next < m_steps.size()) {
        // A step that ends the dialog may come back here from a nested loop; it runs once.
        const size_t step = m_next++;
        // Steps run from nested loops inside this one ask for themselves, not for this step.
        m_running = step;
        m_runAgain = kNoStep;
        m_steps[step](dialog);
        if (m_runAgain != step) {
            m_lastStepTime = ::GetTickCount();
            return;
        }
        m_next = step;
    }
    if (::GetTickCount() - m_lastStepTime > 10000)
        ::EndDialog(dialog, kWatchdogResult);
}

void CDialogDriver::RunAgain() {
    if (g_driver)
        g_driver->m_runAgain = g_driver->m_running;
}
