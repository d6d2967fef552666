#include "common/ui/message_loop.h"

#include <algorithm>
#include <iterator>

namespace {

template <typename T>
void AddOnce(std::vector<T*>& list, T* item) {
    if (item && std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

template <typename T>
void RemoveAll(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

template <typename T>
bool Contains(const std::vector<T*>& list, T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// The dialog filters of this thread and the hook that reaches them.
struct ModalFilters {
    HHOOK hook = nullptr;
    std::vector<IWindowMessageFilter*> filters;
};

thread_local ModalFilters t_modalFilters;

LRESULT CALLBACK ModalFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX && lParam) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        const std::vector<IWindowMessageFilter*> snapshot = t_modalFilters.filters;
        for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
            if (Contains(t_modalFilters.filters, *it) && (*it)->PreTranslateMessage(msg))
                return 1;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void CMessageLoop::AddMessageFilter(IWindowMessageFilter* filter) {
    AddOnce(m_filters, filter);
}

void CMessageLoop::RemoveMessageFilter(IWindowMessageFilter* filter) {
    RemoveAll(m_filters, filter);
}

void CMessageLoop::AddIdleHandler(IIdleHandler* handler) {
    AddOnce(m_idleHandlers, handler);
}

void CMessageLoop::RemoveIdleHandler(IIdleHandler* handler) {
    RemoveAll(m_idleHandlers, handler);
}

bool CMessageLoop::PreTranslateMessage(MSG& msg) {
    const std::vector<IWindowMessageFilter*> snapshot = m_filters;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        // A filter removed by an earlier one (its window was destroyed) must not be called.
        if (Contains(m_filters, *it) && (*it)->PreTranslateMessage(msg))
            return true;
    }
    return false;
}

bool CMessageLoop::OnIdle() {
    bool more = false;
    const std::vector<IIdleHandler*> snapshot = m_idleHandlers;
    for (IIdleHandler* handler : snapshot) {
        if (Contains(m_idleHandlers, handler) && handler->OnIdle())
            more = true;
    }
    return more;
}

int CMessageLoop::Run() {
    MSG msg{};
    bool idle = true;
    for (;;) {
        while (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle())
                idle = false;
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (got == -1)
            continue;  // an invalid window handle in the filter; nothing to dispatch
        if (!PreTranslateMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        // Idle work is due again after anything but the frequent, content-free messages.
        if (msg.message != WM_TIMER && msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE &&
            msg.message != WM_PAINT)
            idle = true;
    }
}

CModalMessageFilter::CModalMessageFilter(IWindowMessageFilter* filter) : m_filter(filter) {
    ModalFilters& modal = t_modalFilters;
    if (!modal.hook)
        modal.hook = ::SetWindowsHookExW(WH_MSGFILTER, &ModalFilterHook, nullptr, ::GetCurrentThreadId());
    if (modal.hook && m_filter)
        modal.filters.push_back(m_filter);
}

CModalMessageFilter::~CModalMessageFilter() {
    ModalFilters& modal = t_modalFilters;
    const auto it = std::find(modal.filters.rbegin(), modal.filters.rend(), m_filter);
    if (it != modal.filters.rend())
        modal.filters.erase(std::next(it).base());
    if (modal.filters.empty() && modal.hook) {
        ::UnhookWindowsHookEx(modal.hook);
        modal.hook = nullptr;
    }
}

bool CModalMessageFilter::Installed() const {
    return t_modalFilters.hook != nullptr && m_filter != nullptr;
}

bool DispatchMessagesUntilSignalled(HANDLE object, CMessageLoop* loop) {
    for (;;) {
        MSG msg{};
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            if (!loop || !loop->PreTranslateMessage(msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        // Woken also by input that a dispatch above saw arrive but left queued (MWMO_INPUTAVAILABLE). A
        // handle that cannot be waited on has nothing to wait for.
        const DWORD woken =
            ::MsgWaitForMultipleObjectsEx(1, &object, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED)
            return true;
    }
}
