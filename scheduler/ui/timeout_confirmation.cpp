#include "scheduler/ui/timeout_confirmation.h"

#include "scheduler/ui/timeout_dlg.h"

bool CTimeoutConfirmation::Confirm(int32_t action) {
    CTimeoutDlg dialog(action, m_clock);
    return dialog.DoModal(m_owner) == IDOK;
}
