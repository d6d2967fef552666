// A stand-in for Tivolan in the end-to-end tests of the driver: the hidden tray window under
// Tivolan's class and title with a notification-area icon, answering the exit command and forwarded
// requests the way the program does, plus (with --window) a visible window with a few controls for
// the driver's text, click, visible and enabled commands. Everything it receives is appended as one
// line to the file given with --record, so the test can see what arrived.
//   fake_tivolan.exe [--record FILE] [--tip TEXT] [--answer N] [--window]
#include "common/platform/unique_resource.h"
#include "tests/e2e/driver_codec.h"

#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kTrayClass[] = L"TivolanTray-9EF72DB2-DE72-4A37-B070-F4C65D09B3D8";
constexpr wchar_t kTrayTitle[] = L"Tivolan Tray Window";
constexpr wchar_t kMainClass[] = L"TivolanStandInMain";
constexpr UINT kTrayCallback = WM_USER + 100;
constexpr UINT kCommandOpen = 32775;
constexpr UINT kCommandExit = 32777;
constexpr int kQuestionId = 1030;
constexpr int kCountdownId = 1031;

struct Options {
    std::wstring recordPath;
    std::wstring tip = L"Tivolan";
    LRESULT copyDataAnswer = 1;
    bool window = false;
};

Options g_options;
HWND g_main = nullptr;

void Record(const std::string& line) {
    if (g_options.recordPath.empty())
        return;
    // Opened and closed per line, so the test reads complete lines while the program runs.
    UniqueHandle file(CreateFileW(g_options.recordPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Release();
        return;
    }
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

NOTIFYICONDATAW IconData(HWND tray) {
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = tray;
    data.uID = 0;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallback;
    data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(data.szTip, g_options.tip.c_str(), ARRAYSIZE(data.szTip));
    return data;
}

LRESULT CALLBACK TrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            NOTIFYICONDATAW data = IconData(hwnd);
            return Shell_NotifyIconW(NIM_ADD, &data) ? 0 : -1;
        }
        case WM_COPYDATA: {
            const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            Record("copydata " + std::to_string(static_cast<unsigned long long>(wParam)) + " " +
                   std::to_string(copy->dwData) + " " + std::to_string(copy->cbData) + " " +
                   e2e::EncodeHex(static_cast<const std::uint8_t*>(copy->lpData), copy->cbData));
            return g_options.copyDataAnswer;
        }
        case WM_COMMAND:
            Record("command " + std::to_string(LOWORD(wParam)));
            if (LOWORD(wParam) == kCommandExit) {
                if (g_main)
                    DestroyWindow(g_main);
                DestroyWindow(hwnd);
                PostQuitMessage(0);
            } else if (LOWORD(wParam) == kCommandOpen && g_main) {
                ShowWindow(g_main, SW_SHOWNORMAL);
            }
            return 0;
        case kTrayCallback:
            if (lParam != WM_MOUSEMOVE)
                Record("callback " + std::to_string(static_cast<unsigned>(lParam)));
            return 0;
        case WM_DESTROY: {
            NOTIFYICONDATAW data = IconData(hwnd);
            data.uFlags = 0;
            Shell_NotifyIconW(NIM_DELETE, &data);
            return 0;
        }
        default:
            // The private messages the real tray handles, as they arrive.
            if (message >= WM_USER && message < WM_APP)
                Record("message " + std::to_string(message) + " " +
                       std::to_string(static_cast<unsigned long long>(wParam)) + " " +
                       std::to_string(static_cast<long long>(lParam)));
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        Record("clicked " + std::to_string(LOWORD(wParam)));
        if (LOWORD(wParam) == IDCANCEL)
            ShowWindow(hwnd, SW_HIDE);
        return 0;
    }
    if (message == WM_CLOSE) {
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW tray = {};
    tray.cbSize = sizeof(tray);
    tray.lpfnWndProc = TrayProc;
    tray.hInstance = instance;
    tray.lpszClassName = kTrayClass;
    WNDCLASSEXW main = {};
    main.cbSize = sizeof(main);
    main.lpfnWndProc = MainProc;
    main.hInstance = instance;
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    main.lpszClassName = kMainClass;
    return RegisterClassExW(&tray) && RegisterClassExW(&main);
}

HWND CreateMainWindow(HINSTANCE instance) {
    HWND main = CreateWindowExW(0, kMainClass, L"Tivolan", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 100, 100,
                                420, 200, nullptr, nullptr, instance, nullptr);
    if (!main)
        return nullptr;
    auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h,
                     int id) {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, main,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    child(L"STATIC", L"Are you sure? \u03A3\uD55C", 0, 10, 10, 380, 20, kQuestionId);
    HWND countdown = child(L"BUTTON", L"Disabled", BS_PUSHBUTTON, 10, 40, 120, 28, kCountdownId);
    EnableWindow(countdown, FALSE);
    child(L"BUTTON", L"&Shut down", BS_DEFPUSHBUTTON, 140, 110, 120, 28, IDOK);
    child(L"BUTTON", L"&Cancel", BS_PUSHBUTTON, 270, 110, 120, 28, IDCANCEL);
    ShowWindow(main, SW_SHOWNORMAL);
    return main;
}

bool ParseOptions(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--record" && hasValue) {
            g_options.recordPath = argv[++i];
        } else if (arg == L"--tip" && hasValue) {
            g_options.tip = argv[++i];
        } else if (arg == L"--answer" && hasValue) {
            const auto n = e2e::ParseNumber(argv[++i]);
            if (!n)
                return false;
            g_options.copyDataAnswer = static_cast<LRESULT>(*n);
        } else if (arg == L"--window") {
            g_options.window = true;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (!ParseOptions(__argc, __wargv))
        return 2;
    if (!RegisterClasses(instance))
        return 3;
    if (g_options.window && !(g_main = CreateMainWindow(instance)))
        return 3;
    if (!CreateWindowExW(0, kTrayClass, kTrayTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                         nullptr))
        return 4;
    Record("started");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
