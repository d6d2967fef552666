#pragma once

// Whether a full-screen program (a game, a presentation, a video) is in front, in which case the
// toast does not claim the topmost band.

#include <string>

#include "scheduler/ui/toast_layout.h"

struct ForegroundWindowInfo {
    bool exists = false;
    bool visible = false;
    bool ownThread = false;  // the window belongs to the thread asking
    std::wstring className;
    ToastRect clientOnScreen;  // the client rectangle in screen coordinates
};

// The desktop ("Progman", "WorkerW", exact) and our own windows never count; any other visible
// window counts when its client area starts at or above the top left corner and reaches at least
// the primary screen's width and height.
bool IsFullScreenInFront(const ForegroundWindowInfo& foreground, int screenWidth, int screenHeight);
