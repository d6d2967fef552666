#include "common/ui/tab_view.h"

#include <commctrl.h>

namespace {

constexpr wchar_t kTabViewClass[] = L"QpTabView";
constexpr UINT_PTR kTabControlId = 1;

}  // namespace

CTabView::~CTabView() {
    Destroy();
}

HWND CTabView::Create(HWND parent, const RECT& rect, UINT controlId) {
    WindowClass windowClass{kTabViewClass};
    windowClass.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    // WS_EX_CONTROLPARENT lets the dialog's own navigation walk into the pages' controls.
    if (!CWindow::Create(windowClass, parent, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                         WS_EX_CONTROLPARENT, rect, controlId))
        return nullptr;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    m_tabs = ::CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                               0, 0, client.right, client.bottom, Hwnd(),
                               reinterpret_cast<HMENU>(kTabControlId), nullptr, nullptr);
    if (!m_tabs) {
        Destroy();
        return nullptr;
    }
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::SendMessageW(m_tabs, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return Hwnd();
}

int CTabView::AddPage(HWND page, const std::wstring& title) {
    if (!m_tabs || !page)
        return -1;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(title.c_str());
    const int index = static_cast<int>(m_pages.size());
    if (::SendMessageW(m_tabs, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)) != index)
        return -1;
    m_pages.push_back(page);
    ::ShowWindow(page, SW_HIDE);
    // Pages sit above the tab control so that its body never paints over them.
    ::SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LayoutPages();
    return index;
}

HWND CTabView::PageWindow(int index) const {
    return index >= 0 && index < PageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

void CTabView::SetActivePage(int index) {
    if (index < 0 || index >= PageCount() || index == m_active)
        return;
    if (HWND previous = PageWindow(m_active))
        ::ShowWindow(previous, SW_HIDE);
    m_active = index;
    if (::SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0) != index)
        ::SendMessageW(m_tabs, TCM_SETCURSEL, index, 0);
    HWND page = m_pages[static_cast<size_t>(index)];
    ::ShowWindow(page, SW_SHOW);
    ::SetFocus(page);

    NMHDR header{};
    header.hwndFrom = Hwnd();
    header.idFrom = static_cast<UINT_PTR>(index);
    header.code = kTabViewPageActivated;
    ::SendMessageW(::GetParent(Hwnd()), WM_NOTIFY, ::GetDlgCtrlID(Hwnd()), reinterpret_cast<LPARAM>(&header));
}

int CTabView::StepPage(int active, int count, bool backwards) {
    if (count <= 0)
        return -1;
    if (active < 0 || active >= count)
        return backwards ? count - 1 : 0;
    return backwards ? (active + count - 1) % count : (active + 1) % count;
}

bool CTabView::PreTranslateMessage(const MSG& msg) {
    if (!Hwnd() || msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || ::GetKeyState(VK_CONTROL) >= 0)
        return false;
    if (!msg.hwnd || ::GetAncestor(msg.hwnd, GA_ROOT) != ::GetAncestor(Hwnd(), GA_ROOT))
        return false;
    if (PageCount() == 0)
        return false;
    SetActivePage(StepPage(m_active, PageCount(), ::GetKeyState(VK_SHIFT) < 0));
    return true;
}

RECT CTabView::PageRect() const {
    RECT rect{};
    ::GetClientRect(Hwnd(), &rect);
    ::SendMessageW(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void CTabView::LayoutPages() {
    if (!m_tabs)
        return;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    ::SetWindowPos(m_tabs, HWND_BOTTOM, 0, 0, client.right, client.bottom, SWP_NOACTIVATE);
    const RECT page = PageRect();
    for (HWND window : m_pages)
        ::SetWindowPos(window, nullptr, page.left, page.top, page.right - page.left, page.bottom - page.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CTabView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            LayoutPages();
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == m_tabs && header->code == static_cast<UINT>(TCN_SELCHANGE)) {
                SetActivePage(static_cast<int>(::SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0)));
                return 0;
            }
            break;
        }
        case WM_DESTROY:
            m_tabs = nullptr;
            m_pages.clear();
            m_active = -1;
            break;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}
