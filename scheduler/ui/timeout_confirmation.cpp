#include "scheduler/ui/timeout_confirmation.h"

#include "scheduler/ui/timeout_dlg.h"

bool CTimeoutConfirmation::Confirm(int32_t action) {
    HWND owner = ::GetActiveWindow();
    if (owner && !::IsWindowVisible(owner))
        owner = nullptr;
    CTimeoutDlg dialog(action, m_clock);
    return dialog.DoModal(owner) == IDOK;
}
