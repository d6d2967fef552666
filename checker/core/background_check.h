#pragma once

// The check that the hidden window's worker runs once per log-on: read the installed version, fetch
// the version document, and decide whether a newer version is to be announced now. Every way it ends
// early is silent. It reaches the platform only through the services below.

#include <cstdint>
#include <functional>
#include <string>

#include "checker/core/installed_version.h"
#include "checker/core/local_calendar.h"
#include "checker/core/version_info.h"
#include "common/platform/registry.h"

struct BackgroundCheckServices {
    IRegistry& registry;  // the uninstall entry (read) and the checker's state
    const ILocalCalendar& calendar;
    std::function<int64_t()> now;                                       // the current stored time
    std::function<void(uint32_t milliseconds)> sleep;                   // the pause before the check
    std::function<bool()> abortRequested;                               // the owner is going away
    std::function<bool(CVersionInfo&, const InstalledVersion&)> fetch;  // both endpoints
    std::function<bool(double ratio)> rolloutDraw;
};

// What the worker keeps for the window that announces.
struct BackgroundCheckResult {
    std::wstring installedDisplay;
    std::wstring installedSpec;
    CVersionInfo info;
};

// True when the offered version is to be announced. The installed texts are filled once the
// uninstall entry has been read, and `info` holds the fetched document, whatever the answer. A
// successful fetch always stores "loaded", so later starts on the same day do nothing. The uninstall
// key is closed before the request goes out; nothing stays open when this returns.
bool RunBackgroundCheck(const BackgroundCheckServices& services, BackgroundCheckResult& result);
