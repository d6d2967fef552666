#include "common/ui/dialog.h"

#include "common/ui/app_module.h"
#include "common/ui/resources.h"
#include "common/ui/window.h"

namespace {

// Messages whose result the dialog manager takes from the procedure's return value rather than
// from DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

CDialog::~CDialog() {
    if (m_hwnd && !m_modal)
        ::DestroyWindow(m_hwnd);
}

INT_PTR CDialog::DoModal(HWND owner) {
    if (m_hwnd)
        return -1;
    const CAppModule& module = CAppModule::Instance();
    const DLGTEMPLATE* dialogTemplate =
        LoadDialogTemplate(module.Handle(), m_templateId, module.ResourceLanguage());
    if (!dialogTemplate)
        return -1;
    m_modal = true;
    const INT_PTR result = ::DialogBoxIndirectParamW(module.Handle(), dialogTemplate, owner,
                                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_modal = false;
    return result;
}

HWND CDialog::Create(HWND parent) {
    if (m_hwnd)
        return nullptr;
    const CAppModule& module = CAppModule::Instance();
    const DLGTEMPLATE* dialogTemplate =
        LoadDialogTemplate(module.Handle(), m_templateId, module.ResourceLanguage());
    if (!dialogTemplate)
        return nullptr;
    m_modal = false;
    HWND hwnd = ::CreateDialogIndirectParamW(module.Handle(), dialogTemplate, parent, &CDialog::DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    return hwnd ? m_hwnd : nullptr;
}

bool CDialog::Destroy() {
    if (!m_hwnd)
        return true;
    if (m_modal) {
        ::EndDialog(m_hwnd, IDCANCEL);
        return true;
    }
    return ::DestroyWindow(m_hwnd) != FALSE;
}

bool CDialog::OnCommand(int id, int, HWND) {
    if (m_modal && (id == IDOK || id == IDCANCEL)) {
        EndDialog(id);
        return true;
    }
    return false;
}

std::optional<LRESULT> CDialog::HandleMessage(UINT, WPARAM, LPARAM) {
    return std::nullopt;
}

void CDialog::EndDialog(INT_PTR result) {
    if (m_hwnd && m_modal)
        ::EndDialog(m_hwnd, result);
}

std::wstring CDialog::ItemText(int id) const {
    return GetWindowTextString(Item(id));
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    if (message == WM_COMMAND)
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    const std::optional<LRESULT> result = HandleMessage(message, wParam, lParam);
    if (!result)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(*result);
    ::SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, *result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self)
        return FALSE;

    INT_PTR result = FALSE;
    try {
        result = self->Dispatch(message, wParam, lParam);
    } catch (...) {
        // A failed initialisation must not leave a half-built modal dialog on screen.
        if (message == WM_INITDIALOG && self->m_modal)
            ::EndDialog(hwnd, -1);
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
        self->OnFinalMessage();
    }
    return result;
}
