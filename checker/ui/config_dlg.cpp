#include "checker/ui/config_dlg.h"

#include "checker/core/checker_state.h"
#include "checker/core/run_at_logon.h"
#include "checker/res/resource.h"
#include "common/path/file_system.h"
#include "common/platform/registry_win.h"
#include "common/ui/window.h"

CConfigDlg::CConfigDlg(IRegistry& registry) : CDialog(IDD_CONFIG), m_registry(registry) {}

BOOL CConfigDlg::OnInitDialog() {
    CenterWindow(Hwnd());
    // The stored period is not shown: every reminder starts from "tomorrow".
    ::CheckRadioButton(Hwnd(), IDC_REMIND_TOMORROW, IDC_REMIND_MONTH, IDC_REMIND_TOMORROW);
    return TRUE;
}

bool CConfigDlg::OnCommand(int id, int code, HWND control) {
    if (id != IDOK)
        return CDialog::OnCommand(id, code, control);
    // The radio button chosen: 0 tomorrow, 1 a week, 2 a month.
    int choice = 0;
    if (::IsDlgButtonChecked(Hwnd(), IDC_REMIND_WEEK) == BST_CHECKED)
        choice = 1;
    else if (::IsDlgButtonChecked(Hwnd(), IDC_REMIND_MONTH) == BST_CHECKED)
        choice = 2;
    // A reminder is worth nothing if the checker never runs again, so the log-on entry comes first.
    EnsureRunAtLogon(m_registry, GetModuleFilePath());
    CCheckerState(m_registry).SetPeriod(static_cast<ReminderPeriod>(choice));
    EndDialog(IDOK);
    return true;
}

void RunReminderDialog(HWND owner) {
    CWin32Registry registry;
    CConfigDlg dialog(registry);
    dialog.DoModal(owner);
}
