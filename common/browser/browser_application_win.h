#pragma once

// The system's browser application behind IBrowserApplication, and ShowBrowserWindow on it.

#include <cstdint>
#include <memory>
#include <string>

#include "common/browser/browser_application.h"

class CBrowserApplication : public IBrowserApplication {
  public:
    std::unique_ptr<IBrowserWindowControl> Open(const std::wstring& url) override;
    void Sleep(uint32_t milliseconds) override;
};

// ShowBrowserWindow with the system's browser (see show_browser_window.h).
bool ShowBrowserWindow(const std::wstring& url,
                       int32_t left,
                       int32_t top,
                       int32_t width,
                       int32_t height,
                       uint32_t flags);
