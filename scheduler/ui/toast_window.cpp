#include "scheduler/ui/toast_window.h"

#include <windowsx.h>

#include <cstddef>
#include <ctime>
#include <iterator>

#include "common/browser/browser_emulation_win.h"
#include "common/browser/ie_cookie_api_win.h"
#include "common/text/web_address.h"
#include "common/ui/app_module.h"
#include "scheduler/core/update_toast_ad.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/full_screen_check.h"
#include "scheduler/ui/toast_link.h"

namespace {

constexpr UINT kPageControlId = 1;

constexpr COLORREF kBorderColour = RGB(192, 192, 192);
constexpr COLORREF kLinkColour = RGB(0, 102, 204);
constexpr COLORREF kGlyphTransparent = RGB(255, 0, 255);
constexpr int kGlyphWidth = 10;
constexpr int kIconSize = 32;
constexpr int kTitleFontHeight = -16;

constexpr UINT kTitleFormat = DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
// Long words (an address in an update text) break rather than run past the edge.
constexpr UINT kMessageFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
constexpr UINT kLinkFormat = DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;

// The structure as it was before Vista added iPaddedBorderWidth: every Windows version (and Wine)
// accepts this size, while the longer one fails on the oldest.
constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
static_assert(kNonClientMetricsSize == 500);

// The toast always sits on the primary monitor's work area, so that monitor's DPI sizes it. Asked
// for at run time: shcore.dll is not part of Windows 7.
int PrimaryMonitorDpi() {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const GetDpiForMonitorFn getDpiForMonitor = [] {
        HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                            reinterpret_cast<void*>(::GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    if (getDpiForMonitor) {
        UINT dpiX = 0;
        UINT dpiY = 0;
        HMONITOR primary = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
        if (SUCCEEDED(getDpiForMonitor(primary, 0 /* MDT_EFFECTIVE_DPI */, &dpiX, &dpiY)) && dpiY > 0)
            return static_cast<int>(dpiY);
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

ForegroundWindowInfo ReadForegroundWindow() {
    ForegroundWindowInfo info;
    HWND foreground = ::GetForegroundWindow();
    // The desktop window itself (in front when no shell runs, or after the shell's window went) is
    // the desktop as much as the shell's "Progman" and "WorkerW" are, and covers the whole screen.
    if (!foreground || foreground == ::GetDesktopWindow() || foreground == ::GetShellWindow())
        return info;
    info.exists = true;
    info.visible = ::IsWindowVisible(foreground) != FALSE;
    info.ownThread = ::GetWindowThreadProcessId(foreground, nullptr) == ::GetCurrentThreadId();
    wchar_t className[256] = {};
    const int length = ::GetClassNameW(foreground, className, static_cast<int>(std::size(className)));
    info.className.assign(className, length > 0 ? static_cast<size_t>(length) : 0);
    RECT client{};
    if (::GetClientRect(foreground, &client)) {
        ::MapWindowPoints(foreground, nullptr, reinterpret_cast<POINT*>(&client), 2);
        info.clientOnScreen = {client.left, client.top, client.right, client.bottom};
    }
    return info;
}

bool FullScreenAppInFront() {
    return IsFullScreenInFront(ReadForegroundWindow(), ::GetSystemMetrics(SM_CXSCREEN),
                               ::GetSystemMetrics(SM_CYSCREEN));
}

RECT WorkArea() {
    RECT area{};
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        return area;
    // A maximised window overhangs the work area by its sizing frame on every side.
    area.right = ::GetSystemMetrics(SM_CXMAXIMIZED) - 2 * ::GetSystemMetrics(SM_CXFRAME);
    area.bottom = ::GetSystemMetrics(SM_CYMAXIMIZED) - 2 * ::GetSystemMetrics(SM_CYFRAME);
    return area;
}

// Measures with the real fonts at the toast's DPI and answers in 96-DPI pixels, the unit of the
// layout rules.
class CDcTextMeasure : public IToastTextMeasure {
  public:
    struct Text {
        const std::wstring* text;
        HFONT font;
        UINT format;
    };

    CDcTextMeasure(HDC dc, int dpi, Text title, Text message, Text link)
        : m_dc(dc), m_dpi(dpi), m_texts{title, message, link} {}

    ToastRect Measure(ToastText which, const ToastRect& proposed) const override {
        const Text& text = m_texts[static_cast<int>(which)];
        RECT rect{ToDevice(proposed.left), ToDevice(proposed.top), ToDevice(proposed.right),
                  ToDevice(proposed.bottom)};
        const LONG right = rect.right;
        HGDIOBJ old = ::SelectObject(m_dc, text.font);
        ::DrawTextW(m_dc, text.text->c_str(), -1, &rect, text.format | DT_CALCRECT);
        ::SelectObject(m_dc, old);
        // One line is measured at its full length; the ellipsis keeps it inside the proposed width.
        if (rect.right > right)
            rect.right = right;
        if (rect.bottom < rect.top)
            rect.bottom = rect.top;
        return {proposed.left, proposed.top, proposed.left + ToLogical(rect.right - rect.left),
                proposed.top + ToLogical(rect.bottom - rect.top)};
    }

  private:
    int ToDevice(int value) const { return ::MulDiv(value, m_dpi, 96); }
    // Rounded up, so that scaling back never cuts off the last row of a text's pixels.
    int ToLogical(int value) const { return (value * 96 + m_dpi - 1) / m_dpi; }

    HDC m_dc;
    int m_dpi;
    Text m_texts[3];
};

}  // namespace

CToastWindow::~CToastWindow() {
    Destroy();
    StopPageKeys();
}

bool CToastWindow::Show(const std::wstring& message,
                        const std::wstring& title,
                        uint32_t durationMs,
                        UINT iconResource,
                        CToastLink* link) {
    if (Hwnd() && !Destroy())
        return false;

    m_message = message;
    m_title = title;
    m_durationMs = durationMs;
    m_dpi = PrimaryMonitorDpi();
    HINSTANCE module = CAppModule::Instance().Handle();
    // Loaded at the toast's own size rather than shared: a shared icon may not be destroyed, and
    // each notice may ask for another one.
    m_icon.Reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(iconResource), IMAGE_ICON,
                                                 Scale(kIconSize), Scale(kIconSize), 0)));
    m_link = link;
    m_linkText = link ? link->Text() : std::wstring();
    if (!m_closeGlyph) {
        m_closeGlyph.Reset(::ImageList_LoadImageW(module, MAKEINTRESOURCEW(IDB_CLOSE_GLYPH), kGlyphWidth, 0,
                                                  kGlyphTransparent, IMAGE_BITMAP, LR_CREATEDIBSECTION));
    }
    if (!m_borderPen)
        m_borderPen.Reset(::CreatePen(PS_SOLID, 1, kBorderColour));

    const bool fullScreen = FullScreenAppInFront();
    const DWORD exStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | (fullScreen ? 0 : WS_EX_TOPMOST);
    return Create({kClassName}, nullptr, L"", WS_POPUP, exStyle, RECT{0, 0, 0, 0}) != nullptr;
}

void CToastWindow::Close() {
    Destroy();
}

LRESULT CToastWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            m_alpha = 255;
            m_mouseInside = false;
            m_laidOut = false;
            m_page.reset();
            if (!HostPage())
                LayOut();
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove();
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
            OnLeftButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_MOUSEACTIVATE:
            // A click on a notice must not take the focus from what the user is doing.
            return MA_NOACTIVATE;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && OnSetCursor())
                return TRUE;
            break;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_PRINTCLIENT:
            PaintTo(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_DESTROY:
            ::KillTimer(Hwnd(), kPageTimer);
            StopPageKeys();
            m_host.reset();
            m_laidOut = false;
            m_mouseInside = false;
            return 0;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

void CToastWindow::MakeFonts() {
    m_titleFont.Reset();
    m_messageFont.Reset();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = kNonClientMetricsSize;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0))
        return;
    // The metrics are at the system DPI; the toast follows its monitor's.
    const int systemDpi = SystemDpi();
    LOGFONTW caption = metrics.lfCaptionFont;
    caption.lfWeight = FW_BOLD;
    caption.lfHeight = Scale(kTitleFontHeight);
    m_titleFont.Reset(::CreateFontIndirectW(&caption));
    LOGFONTW body = metrics.lfMessageFont;
    body.lfHeight = ::MulDiv(body.lfHeight, m_dpi, systemDpi);
    m_messageFont.Reset(::CreateFontIndirectW(&body));
}

void CToastWindow::LayOut() {
    m_laidOut = true;
    MakeFonts();
    HFONT fallback = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    HFONT titleFont = m_titleFont ? static_cast<HFONT>(m_titleFont.Get()) : fallback;
    HFONT messageFont = m_messageFont ? static_cast<HFONT>(m_messageFont.Get()) : fallback;

    ToastLayoutInput input;
    const RECT area = WorkArea();
    // The layout's pixels are at 96 DPI; the page must fit the work area in those.
    input.workArea = {::MulDiv(area.left, 96, m_dpi), ::MulDiv(area.top, 96, m_dpi),
                      ::MulDiv(area.right, 96, m_dpi), ::MulDiv(area.bottom, 96, m_dpi)};
    input.page = m_page;
    input.hasLink = m_link != nullptr;
    HDC dc = ::GetDC(Hwnd());
    CDcTextMeasure measure(dc, m_dpi, {&m_title, titleFont, kTitleFormat},
                           {&m_message, messageFont, kMessageFormat},
                           {&m_linkText, messageFont, kLinkFormat});
    m_layout = LayOutToast(input, measure);
    ::ReleaseDC(Hwnd(), dc);

    if (m_host && m_host->Hwnd() && m_layout.browser) {
        const RECT page = ToDevice(*m_layout.browser);
        ::MoveWindow(m_host->Hwnd(), page.left, page.top, page.right - page.left, page.bottom - page.top,
                     TRUE);
    }
    // The window's size is scaled as a whole, so that it keeps its right and bottom edges on the
    // work area's.
    const int cx = Scale(m_layout.cx);
    const int cy = Scale(m_layout.cy);
    ::SetWindowPos(Hwnd(), nullptr, area.right - cx, area.bottom - cy, cx, cy, SWP_NOACTIVATE | SWP_NOZORDER);
    SetAlpha(255);
    ::SetTimer(Hwnd(), kShowTimer, kShowDelayMs, nullptr);
    m_mouseInside = false;
}

bool CToastWindow::HostPage() {
    const ToastAd& ad = ToastAdRecord();
    // The address comes from the update answer: anything but a web page is not shown.
    if (!ad.present || !IsWebAddress(ad.url))
        return false;
    PlantCookies();
    m_page = ToastPageSize{ad.width, ad.height};
    m_host = std::make_unique<CWebBrowser2>();
    const RECT rect{0, 0, Scale(ad.width), Scale(ad.height)};
    if (!m_host->CreateHost(Hwnd(), rect, kPageControlId, this)) {
        m_host.reset();
        return false;
    }
    m_host->Navigate(ad.url);
    ::SetTimer(Hwnd(), kPageTimer, kPageTimeoutMs, nullptr);
    if (CMessageLoop* loop = CAppModule::Instance().MessageLoop()) {
        loop->AddMessageFilter(this);
        m_pageKeys = true;
    }
    return true;
}

bool CToastWindow::PreTranslateMessage(MSG& msg) {
    return m_host && m_host->TranslateAccelerator(msg);
}

void CToastWindow::StopPageKeys() {
    // The loop may have ended before the toast (the process's toast outlives it).
    if (m_pageKeys) {
        if (CMessageLoop* loop = CAppModule::Instance().MessageLoop())
            loop->RemoveMessageFilter(this);
    }
    m_pageKeys = false;
}

void CToastWindow::PlantCookies() {
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    if (!ToastCookiesDue(m_cookieTime, now))
        return;
    if (m_cookieTime == 0)
        EnableBrowserEmulation();
    m_cookieTime = now;
    if (!m_cookies)
        m_cookies = std::make_unique<CProtectedModeCookieSync>(CreateIeCookieApi());
    for (const ToastCookie& cookie : ToastAdRecord().cookies) {
        if (!IsWebAddress(cookie.url))
            continue;
        const std::optional<std::wstring> policy =
            cookie.p3p.empty() ? std::nullopt : std::optional<std::wstring>(cookie.p3p);
        m_cookies->SyncCookies(cookie.url, policy);
    }
}

void CToastWindow::OnDocumentComplete(const std::wstring&) {
    if (!m_host || !m_page)
        return;
    const RenderedElement found = m_host->FindRenderedElement(L"ad");
    ToastPageDocument document;
    document.reached = found.documentReached;
    if (found.size)
        document.element =
            ToastPageSize{static_cast<int>(found.size->width), static_cast<int>(found.size->height)};
    const ToastDocumentStep step = OnToastDocumentComplete(m_laidOut, *m_page, document);
    if (!step.layOut)
        return;
    m_page = step.page;
    ::KillTimer(Hwnd(), kPageTimer);
    LayOut();
}

void CToastWindow::OnTimer(UINT_PTR id) {
    switch (id) {
        case kPageTimer:
            ::KillTimer(Hwnd(), kPageTimer);
            if (!m_laidOut)
                LayOut();
            break;
        case kShowTimer:
            ::KillTimer(Hwnd(), kShowTimer);
            ::ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
            ::SetWindowPos(Hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ::SetTimer(Hwnd(), kHoldTimer, m_durationMs, nullptr);
            break;
        case kHoldTimer:
            if (m_mouseInside)
                break;
            ::KillTimer(Hwnd(), kHoldTimer);
            SetAlpha(255);
            ::SetTimer(Hwnd(), kFadeTimer, kFadeStepMs, nullptr);
            break;
        case kFadeTimer: {
            if (m_mouseInside)
                break;
            const ToastFadeStep step = NextToastFadeStep(m_alpha);
            if (step.destroy)
                Destroy();
            else
                SetAlpha(step.alpha);
            break;
        }
        default:
            break;
    }
}

void CToastWindow::OnMouseMove() {
    if (m_mouseInside)
        return;
    m_mouseInside = true;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = Hwnd();
    ::TrackMouseEvent(&track);
    SetAlpha(255);
    ::KillTimer(Hwnd(), kHoldTimer);
    ::KillTimer(Hwnd(), kFadeTimer);
}

void CToastWindow::OnMouseLeave() {
    if (!m_mouseInside)
        return;
    m_mouseInside = false;
    ::SetTimer(Hwnd(), kHoldTimer, m_durationMs, nullptr);
}

void CToastWindow::OnLeftButtonDown(POINT client) {
    switch (HitTest(client)) {
        case ToastHit::Link: {
            // The click may run a message loop (the shell) in which another notice replaces this
            // one; only this toast is closed afterwards.
            HWND self = Hwnd();
            m_link->Click();
            if (Hwnd() == self)
                Destroy();
            break;
        }
        case ToastHit::CloseBox:
            Destroy();
            break;
        case ToastHit::None:
            break;
    }
}

bool CToastWindow::OnSetCursor() {
    POINT point{};
    if (!::GetCursorPos(&point) || !::ScreenToClient(Hwnd(), &point))
        return false;
    if (HitTest(point) == ToastHit::None)
        return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return true;
}

ToastHit CToastWindow::HitTest(POINT client) const {
    // The rules are in 96-DPI pixels; a point is taken back to them.
    const int x = ::MulDiv(client.x, 96, m_dpi);
    const int y = ::MulDiv(client.y, 96, m_dpi);
    return HitTestToast({0, 0, m_layout.cx, m_layout.cy}, m_layout, m_link != nullptr, x, y);
}

void CToastWindow::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Hwnd(), &paint);
    if (!dc)
        return;
    PaintTo(dc);
    ::EndPaint(Hwnd(), &paint);
}

void CToastWindow::PaintTo(HDC dc) {
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const int saved = ::SaveDC(dc);
    ::SelectObject(dc, m_borderPen ? m_borderPen.Get() : ::GetStockObject(BLACK_PEN));
    ::SelectObject(dc, ::GetStockObject(WHITE_BRUSH));
    ::Rectangle(dc, client.left, client.top, client.right, client.bottom);

    if (m_closeGlyph) {
        ::ImageList_Draw(m_closeGlyph.Get(), 0, dc, client.right - Scale(18), client.top + Scale(9),
                         ILD_TRANSPARENT);
    }
    if (m_icon) {
        ::DrawIconEx(dc, Scale(8), Scale(12), m_icon.Get(), Scale(kIconSize), Scale(kIconSize), 0, nullptr,
                     DI_NORMAL);
    }

    HFONT fallback = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    RECT title = ToDevice(m_layout.title);
    ::SelectObject(dc, m_titleFont ? m_titleFont.Get() : fallback);
    ::DrawTextW(dc, m_title.c_str(), -1, &title, kTitleFormat);
    RECT message = ToDevice(m_layout.message);
    ::SelectObject(dc, m_messageFont ? m_messageFont.Get() : fallback);
    ::DrawTextW(dc, m_message.c_str(), -1, &message, kMessageFormat);
    if (m_link) {
        RECT link = ToDevice(m_layout.link);
        ::SetTextColor(dc, kLinkColour);
        ::DrawTextW(dc, m_linkText.c_str(), -1, &link, kLinkFormat);
    }
    ::RestoreDC(dc, saved);
}

void CToastWindow::SetAlpha(int alpha) {
    m_alpha = alpha;
    ::SetLayeredWindowAttributes(Hwnd(), 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

RECT CToastWindow::ToDevice(const ToastRect& rect) const {
    return {Scale(rect.left), Scale(rect.top), Scale(rect.right), Scale(rect.bottom)};
}

CToastWindow& ToastWindow() {
    static CToastWindow toast;
    return toast;
}
