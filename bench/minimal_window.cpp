// The start-up baseline: the least a Win32 program with a window does. It registers a class, creates
// one window, lets it take its first messages and exits, so its start-to-exit time under Wine is the
// cost of a process with user32 and a window, against which Tivolan's start is measured.
#include <windows.h>

namespace {

LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = MinimalProc;
    cls.hInstance = instance;
    cls.lpszClassName = L"MinimalWindow";
    if (!RegisterClassExW(&cls))
        return 1;
    HWND window = CreateWindowExW(0, cls.lpszClassName, L"Minimal window", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 2;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    DestroyWindow(window);
    return 0;
}
