#pragma once

// A separate browser window started through the browser application's automation interface.
// The object holds one reference to the window's IWebBrowser2; releasing it leaves the window open.

#include <windows.h>

#include <exdisp.h>

#include <cstdint>
#include <string>

#include "common/browser/browser_event_sink_win.h"
#include "common/platform/com_ptr.h"

namespace WebBrowserOptions {
constexpr uint32_t ConnectEvents = 1;
constexpr uint32_t Visible = 4;
constexpr uint32_t Foreground = 8;
}  // namespace WebBrowserOptions

class CWebBrowser {
  public:
    CWebBrowser() = default;
    ~CWebBrowser();
    CWebBrowser(const CWebBrowser&) = delete;
    CWebBrowser& operator=(const CWebBrowser&) = delete;

    // Starts the browser application on a web address; false for any other address or when the
    // application cannot be started or refuses the address.
    bool Open(const std::wstring& url, uint32_t options);
    void Close();

    IWebBrowser2* Browser() const { return m_browser.Get(); }
    // The browser's frame window, or null.
    HWND FrameWindow() const;

  private:
    ComPtr<IWebBrowser2> m_browser;
    CBrowserEventSink* m_sink = nullptr;  // connected only with ConnectEvents; its events are not used
};
