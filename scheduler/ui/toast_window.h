#pragma once

// The program's own notice pop-up: a white panel at the bottom right of the work area with an icon,
// a bold title, the message and an optional link line. It appears half a second after it was laid
// out, stays opaque for its duration, then fades out; the pointer over it holds it. One toast at a
// time: a new notice replaces the old one at once.
//
// While the last update answer named an advertisement, every notice shows that web page below its
// text: the toast hosts the browser control on the page's address, plants the page's cookies at most
// every 30 minutes, and lays itself out when the document is complete and can be reached (measuring
// the element "ad"), or after 10 seconds at the latest, whichever comes first.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/browser/browser_event_sink_win.h"
#include "common/browser/protected_mode_cookie_sync.h"
#include "common/browser/web_browser2.h"

#include "common/ui/gdi_owners.h"
#include "common/ui/message_loop.h"
#include "common/ui/window.h"
// Callers that show notices for the scheduler reach the toast through its adapter.
#include "scheduler/ui/toast_layout.h"

class CToastLink;

class CToastWindow : public CWindow, private IBrowserEvents, private IWindowMessageFilter {
  public:
    static constexpr const wchar_t* kClassName = L"TivolanToastWindow";
    // Timers: the page's last chance to finish loading, the delay before showing, the opaque time,
    // the fade steps.
    static constexpr UINT_PTR kPageTimer = 1;
    static constexpr UINT_PTR kShowTimer = 2;
    static constexpr UINT_PTR kHoldTimer = 3;
    static constexpr UINT_PTR kFadeTimer = 4;
    static constexpr UINT kPageTimeoutMs = 10000;
    static constexpr UINT kShowDelayMs = 500;
    static constexpr UINT kFadeStepMs = 100;

    CToastWindow() = default;
    ~CToastWindow() override;

    // Replaces any toast on screen with a new one; the icon is a group icon of the program's module,
    // the link (optional, not owned) must outlive the toast. False when the old toast could not be
    // destroyed or the new window could not be made.
    bool Show(const std::wstring& message,
              const std::wstring& title,
              uint32_t durationMs,
              UINT iconResource,
              CToastLink* link);
    // Takes the toast off the screen, if one is there.
    void Close();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void LayOut();
    // The advertisement's page, when the last answer named one; false when there is none to show.
    bool HostPage();
    void PlantCookies();
    void OnDocumentComplete(const std::wstring& url) override;
    // The page's keys (Tab, the copy keys), through the program's message loop while it is shown.
    bool PreTranslateMessage(MSG& msg) override;
    void StopPageKeys();
    void MakeFonts();
    void OnTimer(UINT_PTR id);
    void OnMouseMove();
    void OnMouseLeave();
    void OnLeftButtonDown(POINT client);
    bool OnSetCursor();
    void OnPaint();
    void PaintTo(HDC dc);
    void SetAlpha(int alpha);
    ToastHit HitTest(POINT client) const;
    // Pixels at 96 DPI to the toast's own.
    int Scale(int value) const { return ::MulDiv(value, m_dpi, 96); }
    RECT ToDevice(const ToastRect& rect) const;

    std::wstring m_title;
    std::wstring m_message;
    std::wstring m_linkText;
    uint32_t m_durationMs = 10000;
    int m_alpha = 255;
    bool m_mouseInside = false;
    bool m_laidOut = false;
    int m_dpi = 96;
    UniqueIcon m_icon;
    CToastLink* m_link = nullptr;
    UniqueGdiObject m_titleFont;
    UniqueGdiObject m_messageFont;
    UniqueGdiObject m_borderPen;
    UniqueImageList m_closeGlyph;
    // The web page area; none while no page is shown.
    std::optional<ToastPageSize> m_page;
    std::unique_ptr<CWebBrowser2> m_host;
    bool m_pageKeys = false;  // a message filter of the program's loop
    std::unique_ptr<CProtectedModeCookieSync> m_cookies;
    int64_t m_cookieTime = 0;  // when the advertisement's cookies were last planted; 0: never
    // In pixels at 96 DPI, as the layout rules give them.
    ToastLayout m_layout;
};

// The toast of the process, made on first use.
CToastWindow& ToastWindow();
