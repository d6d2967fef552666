#include "scheduler/core/power_platform_win.h"

#include <windows.h>

#include <powrprof.h>

#include "scheduler/core/os_version_win.h"

PlatformHandle CWin32PowerPlatform::OpenProcessToken(uint32_t access) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), access, &token))
        return nullptr;
    return token;
}

std::optional<PrivilegeId> CWin32PowerPlatform::LookupPrivilege(const std::wstring& name) {
    LUID luid = {};
    if (!::LookupPrivilegeValueW(nullptr, name.c_str(), &luid))
        return std::nullopt;
    return PrivilegeId{luid.LowPart, luid.HighPart};
}

bool CWin32PowerPlatform::AdjustTokenPrivilege(PlatformHandle token,
                                               PrivilegeId privilege,
                                               uint32_t attributes) {
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid.LowPart = privilege.lowPart;
    privileges.Privileges[0].Luid.HighPart = privilege.highPart;
    privileges.Privileges[0].Attributes = attributes;
    return ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
}

uint32_t CWin32PowerPlatform::LastError() {
    return ::GetLastError();
}

void CWin32PowerPlatform::CloseHandle(PlatformHandle handle) {
    ::CloseHandle(handle);
}

bool CWin32PowerPlatform::ExitWindowsEx(uint32_t flags, uint32_t reason) {
    return ::ExitWindowsEx(flags, reason) != FALSE;
}

bool CWin32PowerPlatform::SetSuspendState(bool hibernate, bool forceCritical, bool disableWakeEvent) {
    return ::SetSuspendState(hibernate, forceCritical, disableWakeEvent) != FALSE;
}

bool CWin32PowerPlatform::LockWorkStation() {
    return ::LockWorkStation() != FALSE;
}

intptr_t CWin32PowerPlatform::SendWindowMessage(PlatformWindow window,
                                                uint32_t message,
                                                uintptr_t wParam,
                                                intptr_t lParam) {
    return ::SendMessageW(static_cast<HWND>(window), message, wParam, lParam);
}

bool CWin32PowerPlatform::IsSuspendAllowed() {
    return ::IsPwrSuspendAllowed() != FALSE;
}

bool CWin32PowerPlatform::IsHibernateAllowed() {
    return ::IsPwrHibernateAllowed() != FALSE;
}

PlatformWindow CWin32PowerPlatform::FindTopLevelWindow(const std::wstring& className,
                                                       const std::wstring& title) {
    return ::FindWindowW(className.c_str(), title.c_str());
}

uint32_t CWin32PowerPlatform::WindowProcessId(PlatformWindow window) {
    DWORD processId = 0;
    if (!::GetWindowThreadProcessId(static_cast<HWND>(window), &processId))
        return 0;
    return processId;
}

PlatformHandle CWin32PowerPlatform::OpenProcess(uint32_t access, uint32_t processId) {
    return ::OpenProcess(access, FALSE, processId);
}

bool CWin32PowerPlatform::TerminateProcess(PlatformHandle process, uint32_t exitCode) {
    return ::TerminateProcess(process, exitCode) != FALSE;
}

CPowerActions& SystemPowerActions() {
    static CWin32PowerPlatform platform;
    static CPowerActions actions(platform, GetOsVersionClass());
    return actions;
}
