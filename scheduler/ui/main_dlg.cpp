#include "scheduler/ui/main_dlg.h"

#include "common/ui/app_module.h"
#include "common/ui/resources.h"
#include "common/ui/window.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/tivolan_app.h"

namespace {

constexpr int kTabViewMargin = 4;
constexpr int kLinkStripHeight = 20;
constexpr UINT kTabViewId = 1;
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

HICON LoadProgramIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(::LoadImageW(CAppModule::Instance().Handle(), MAKEINTRESOURCEW(IDI_APP),
                                           IMAGE_ICON, ::GetSystemMetrics(widthMetric),
                                           ::GetSystemMetrics(heightMetric), LR_SHARED));
}

}  // namespace

CMainDlg::CMainDlg() : CDialog(IDD_MAIN) {}

CMainDlg::~CMainDlg() {
    Destroy();
}

BOOL CMainDlg::OnInitDialog() {
    RECT rect{};
    ::GetClientRect(Hwnd(), &rect);
    ::InflateRect(&rect, -kTabViewMargin, -kTabViewMargin);
    rect.bottom -= kLinkStripHeight;
    if (!m_tabView.Create(Hwnd(), rect, kTabViewId))
        return TRUE;

    struct PageEntry {
        CPageDialog& page;
        UINT title;
    };
    for (PageEntry entry : {PageEntry{m_home, IDS_TAB_HOME}, PageEntry{m_schedule, IDS_TAB_SCHEDULE},
                            PageEntry{m_options, IDS_TAB_OPTIONS}}) {
        if (HWND page = entry.page.Create(m_tabView.Hwnd()))
            m_tabView.AddPage(page, LoadUiString(entry.title));
    }
    m_tabView.SetActivePage(HomePage);
    CenterWindow(Hwnd());

    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(LoadProgramIcon(SM_CXICON, SM_CYICON)));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(LoadProgramIcon(SM_CXSMICON, SM_CYSMICON)));

    if (CMessageLoop* loop = CAppModule::Instance().MessageLoop()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
    ::SetFocus(m_tabView.TabControl());
    m_initialized = true;
    return FALSE;
}

bool CMainDlg::PreTranslateMessage(MSG& msg) {
    if (!Hwnd())
        return false;
    if (m_tabView.PreTranslateMessage(msg))
        return true;
    HWND page = m_tabView.PageWindow(m_tabView.ActivePage());
    if (page && ::IsDialogMessageW(page, &msg))
        return true;
    return ::IsDialogMessageW(Hwnd(), &msg) != FALSE;
}

void CMainDlg::OnPageActivated(int index) {
    if (!m_initialized || index == -1)
        return;
    if (index == SchedulePage)
        m_schedule.Rebuild();
    // Leaving a page stores what its boxes hold, although nothing was started.
    SaveSettings(false);
}

bool CMainDlg::OnCommand(int id, int code, HWND control) {
    if (id == IDCANCEL) {
        ::ShowWindow(Hwnd(), SW_HIDE);
        return true;
    }
    if (id == IDC_ABOUT_LINK) {
        if (code == STN_CLICKED)
            OpenProductPage(Hwnd());
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}

std::optional<LRESULT> CMainDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == Item(IDC_ABOUT_LINK)) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                ::SetTextColor(dc, kLinkColor);
                ::SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
            }
            return std::nullopt;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == Item(IDC_ABOUT_LINK)) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            return std::nullopt;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->hwndFrom == m_tabView.Hwnd() && header->code == kTabViewPageActivated) {
                OnPageActivated(static_cast<int>(header->idFrom));
                return 0;
            }
            return std::nullopt;
        }
        case WM_DESTROY:
            if (CMessageLoop* loop = CAppModule::Instance().MessageLoop()) {
                loop->RemoveMessageFilter(this);
                loop->RemoveIdleHandler(this);
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}
