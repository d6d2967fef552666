#include "checker/ui/qp_check_dlg.h"

#include <ctime>

#include "checker/core/checker_state.h"
#include "checker/core/version_check_win.h"
#include "checker/res/resource.h"
#include "checker/ui/checker_message.h"
#include "checker/ui/qp_update_dlg.h"
#include "common/platform/registry_win.h"
#include "common/ui/window.h"

CQPCheckDlg::CQPCheckDlg() : CDialog(IDD_QPCHECK) {}

BOOL CQPCheckDlg::OnInitDialog() {
    m_icon = LoadProgramIcon(::GetSystemMetrics(SM_CXICON));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon.Get()));
    CenterWindow(Hwnd());

    CWin32Registry registry;
    const std::optional<InstalledVersion> installed = ReadInstalledVersion(registry);
    if (!installed) {
        ShowCheckerMessage(Hwnd(), IDS_INSTALLED_UNKNOWN, MB_OK | MB_ICONWARNING);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_installed = *installed;
    ::SetDlgItemTextW(Hwnd(), IDC_INSTALLED_VERSION, m_installed.display.c_str());
    return TRUE;
}

bool CQPCheckDlg::OnCommand(int id, int code, HWND control) {
    if (id != IDOK)
        return CDialog::OnCommand(id, code, control);
    DoCheck();
    EndDialog(IDOK);
    return true;
}

void CQPCheckDlg::DoCheck() {
    // The user asked, so the time is recorded before anything is sent: the next background check
    // counts its reminder period from here.
    CWin32Registry registry;
    CCheckerState(registry).SetCheckedTime(static_cast<int64_t>(std::time(nullptr)));

    const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    const bool fetched = CheckLatestVersion(m_info, m_installed.display, m_installed.spec, m_installed.major,
                                            m_installed.minor);
    ::SetCursor(previous);

    if (!fetched) {
        ShowCheckerMessage(Hwnd(), IDS_CHECK_FAILED, MB_OK | MB_ICONWARNING);
        return;
    }
    if (!m_info.IsNewerThanInstalled(m_installed.major, m_installed.minor)) {
        ShowCheckerMessage(Hwnd(), IDS_LATEST_INSTALLED, MB_OK | MB_ICONINFORMATION);
        return;
    }
    ::ShowWindow(Hwnd(), SW_HIDE);
    CQPUpdateDlg update(m_info);
    update.SetInstalledVersion(m_installed.display, m_installed.spec);
    update.DoModal(Hwnd());
}
