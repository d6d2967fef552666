#include "common/browser/show_browser_window.h"

#include <memory>

#include "common/text/web_address.h"

bool ShowBrowserWindow(IBrowserApplication& application,
                       const std::wstring& url,
                       int32_t left,
                       int32_t top,
                       int32_t width,
                       int32_t height,
                       uint32_t flags) {
    if (!IsWebAddress(url))
        return false;
    std::unique_ptr<IBrowserWindowControl> window;
    for (int attempt = 0; attempt < kBrowserOpenAttempts; ++attempt) {
        if (attempt > 0)
            application.Sleep(kBrowserRetryPauseMs);
        window = application.Open(url);
        if (window)
            break;
    }
    if (!window)
        return false;

    if (!(flags & BrowserWindowFlags::KeepInterface)) {
        window->SetBarsVisible(false);
        window->SetResizable(false);
    }
    if (flags & BrowserWindowFlags::Position)
        window->SetPosition(left, top);
    if (flags & BrowserWindowFlags::Size)
        window->SetSize(width, height);
    window->SetVisible(true);
    if (flags & BrowserWindowFlags::Foreground) {
        // Topmost for a moment lifts the window above the caller's; staying topmost would be rude.
        window->BringToForeground();
        window->SetTopmost(true);
        application.Sleep(kBrowserRetryPauseMs);
        window->SetTopmost(false);
    }
    return true;
}
