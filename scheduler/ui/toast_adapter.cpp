#include "scheduler/ui/toast_adapter.h"

#include "scheduler/ui/toast_window.h"

CToastAdapter::CToastAdapter() : m_window(ToastWindow()) {}

void CToastAdapter::Show(const std::wstring& text,
                         const std::wstring& title,
                         uint32_t displayMilliseconds,
                         uint32_t iconGroup,
                         CToastLink* link) {
    // A notice that cannot be shown is lost: the scheduler's timing goes on regardless.
    m_window.Show(text, title, displayMilliseconds, iconGroup, link);
}

IToast& ToastService() {
    static CToastAdapter service;
    return service;
}
