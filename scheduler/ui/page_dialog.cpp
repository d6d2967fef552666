#include "scheduler/ui/page_dialog.h"

bool CPageDialog::OnCommand(int id, int code, HWND control) {
    if (id == IDCANCEL) {
        ::SendMessageW(::GetAncestor(Hwnd(), GA_ROOT), WM_COMMAND, IDCANCEL, 0);
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}
