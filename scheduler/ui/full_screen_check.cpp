#include "scheduler/ui/full_screen_check.h"

bool IsFullScreenInFront(const ForegroundWindowInfo& foreground, int screenWidth, int screenHeight) {
    if (!foreground.exists || !foreground.visible || foreground.ownThread)
        return false;
    if (foreground.className == L"Progman" || foreground.className == L"WorkerW")
        return false;
    const ToastRect& client = foreground.clientOnScreen;
    return client.left < 1 && client.top < 1 && client.right >= screenWidth && client.bottom >= screenHeight;
}
