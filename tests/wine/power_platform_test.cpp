#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/platform/unique_resource.h"
#include "scheduler/core/os_version_win.h"
#include "scheduler/core/power_action.h"
#include "scheduler/core/power_platform_win.h"

// Only calls that change nothing outside this process run here: never a shut-down, suspend or lock.
namespace {

// PowerAction's names clash with <windows.h>, whose Sleep is a function.
// Qualified names next to <windows.h>, whose Sleep() they must not collide with.
constexpr int32_t kDisplayOff = PowerAction::DisplayOff;
constexpr int32_t kScreenSaver = PowerAction::ScreenSaver;

struct SysCommand {
    WPARAM command;
    LPARAM parameter;
    bool operator==(const SysCommand&) const = default;
};

std::vector<SysCommand> g_sysCommands;

// Keeps the system commands for itself, so that none reaches the display or the screen saver.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND) {
        g_sysCommands.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct WindowTraits {
    using Type = HWND;
    static Type Empty() { return nullptr; }
    static void Close(Type window) { DestroyWindow(window); }
};
using UniqueWindow = UniqueResource<WindowTraits>;

constexpr const wchar_t* kWindowClass = L"TivolanPowerTestWindow";

UniqueWindow MakeWindow(const wchar_t* title) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    return UniqueWindow(CreateWindowExW(0, kWindowClass, title, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr));
}

bool ShutdownPrivilegeEnabled() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    UniqueHandle owner(token);
    LUID shutdown{};
    LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &shutdown);
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size))
        return false;
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
        if (entry.Luid.LowPart == shutdown.LowPart && entry.Luid.HighPart == shutdown.HighPart)
            return (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
    return false;
}

TEST(Win32PowerPlatform, ReportsWhatWineOffers) {
    // Wine 8 reports sleep as unavailable and hibernation as available.
    CWin32PowerPlatform platform;
    CPowerActions actions(platform, GetOsVersionClass());
    EXPECT_FALSE(actions.IsSleepAllowed());
    EXPECT_TRUE(actions.IsHibernateAllowed());
}

TEST(Win32PowerPlatform, EnablesTheShutdownPrivilegeOnTheToken) {
    CWin32PowerPlatform platform;
    CPowerActions actions(platform, GetOsVersionClass());
    ASSERT_TRUE(actions.EnableShutdownPrivilege());
    EXPECT_TRUE(ShutdownPrivilegeEnabled());
    EXPECT_FALSE(platform.LookupPrivilege(L"SeNoSuchPrivilege").has_value());
}

TEST(Win32PowerPlatform, SendsTheSystemCommandsToTheGivenWindow) {
    UniqueWindow window = MakeWindow(L"power test");
    ASSERT_TRUE(window);
    CWin32PowerPlatform platform;
    CPowerActions actions(platform, GetOsVersionClass());
    g_sysCommands.clear();
    EXPECT_TRUE(actions.PerformPowerAction(kDisplayOff, window.Get(), false));
    EXPECT_TRUE(actions.PerformPowerAction(kScreenSaver, window.Get(), true));
    EXPECT_EQ(g_sysCommands, (std::vector<SysCommand>{{SC_MONITORPOWER, 2}, {SC_SCREENSAVE, 2}}));
}

// The Windows 95 family's taskbar step finds a window by class and empty title.
TEST(Win32PowerPlatform, FindsATopLevelWindowByClassAndEmptyTitle) {
    UniqueWindow window = MakeWindow(L"");
    ASSERT_TRUE(window);
    CWin32PowerPlatform platform;
    EXPECT_EQ(platform.FindTopLevelWindow(kWindowClass, L""), window.Get());
    EXPECT_EQ(platform.WindowProcessId(window.Get()), GetCurrentProcessId());
    EXPECT_EQ(platform.FindTopLevelWindow(kWindowClass, L"another title"), nullptr);
}

}  // namespace
