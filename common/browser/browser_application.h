#pragma once

// A separate browser window driven through its automation interface, seen as ShowBrowserWindow
// needs it, so its rules run against a recording fake.

#include <cstdint>
#include <memory>
#include <string>

class IBrowserWindowControl {
  public:
    virtual ~IBrowserWindowControl() = default;
    // Address bar, menu bar, status bar and tool bar together.
    virtual void SetBarsVisible(bool visible) = 0;
    virtual void SetResizable(bool resizable) = 0;
    virtual void SetPosition(int32_t left, int32_t top) = 0;
    virtual void SetSize(int32_t width, int32_t height) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void BringToForeground() = 0;
    virtual void SetTopmost(bool topmost) = 0;
};

class IBrowserApplication {
  public:
    virtual ~IBrowserApplication() = default;
    // Starts a browser window on the address; null when it cannot be started. Releasing the
    // result leaves the window open.
    virtual std::unique_ptr<IBrowserWindowControl> Open(const std::wstring& url) = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};
