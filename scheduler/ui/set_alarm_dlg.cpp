#include "scheduler/ui/set_alarm_dlg.h"

#include <utility>

#include "common/ui/resources.h"
#include "common/ui/window.h"
#include "scheduler/res/resource.h"

CSetAlarmDlg::CSetAlarmDlg(std::wstring message) : CDialog(IDD_SET_ALARM), m_message(std::move(message)) {}

BOOL CSetAlarmDlg::OnInitDialog() {
    CenterWindow(Hwnd());
    HWND edit = Item(IDC_ALARM_MESSAGE);
    ::SendMessageW(edit, EM_LIMITTEXT, kMaxLength, 0);
    // WM_SETTEXT ignores the limit, so a longer message is cut here as typing would cut it.
    const std::wstring shown = m_message.substr(0, kMaxLength);
    if (!::SetWindowTextW(edit, shown.c_str())) {
        ::MessageBeep(0);
        ::SetFocus(edit);
        return FALSE;
    }
    return TRUE;
}

bool CSetAlarmDlg::OnCommand(int id, int code, HWND control) {
    if (id == IDOK)
        m_message = ItemText(IDC_ALARM_MESSAGE);
    return CDialog::OnCommand(id, code, control);
}

std::optional<std::wstring> AskAlarmMessage(HWND owner) {
    CSetAlarmDlg dialog;
    if (dialog.DoModal(owner) != IDOK)
        return std::nullopt;
    if (dialog.Message().empty())
        return LoadUiString(IDS_ACTION_NAME_ALARM);
    return dialog.Message();
}
