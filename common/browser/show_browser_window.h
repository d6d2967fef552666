#pragma once

#include <cstdint>
#include <string>

#include "common/browser/browser_application.h"

namespace BrowserWindowFlags {
constexpr uint32_t Position = 1;       // use left and top
constexpr uint32_t Size = 2;           // use width and height
constexpr uint32_t Foreground = 4;     // to the front, briefly topmost
constexpr uint32_t KeepInterface = 8;  // leave the bars and the sizing border as the browser has them
}  // namespace BrowserWindowFlags

inline constexpr int kBrowserOpenAttempts = 11;
inline constexpr uint32_t kBrowserRetryPauseMs = 1000;

// Opens the page in a window of its own (a browser still starting may refuse the first attempts),
// shapes it by the flags and leaves it open. Only web addresses are opened: the address comes from
// an endpoint's answer. False when the address is refused or no attempt succeeded.
bool ShowBrowserWindow(IBrowserApplication& application,
                       const std::wstring& url,
                       int32_t left,
                       int32_t top,
                       int32_t width,
                       int32_t height,
                       uint32_t flags);
