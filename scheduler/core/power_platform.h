#pragma once

// The system calls behind the power actions, one operation each, so that the order of the calls and
// their arguments can be proven with a recording fake. Handles are opaque here: a Win32 HANDLE or
// HWND on Windows, null for none. No operation is named like a <windows.h> macro (SendMessage,
// FindWindow, ExitWindows), which would rename it in the Win32 build.

#include <cstdint>
#include <optional>
#include <string>

using PlatformHandle = void*;
using PlatformWindow = void*;

// A locally unique identifier, as a privilege is named to the token.
struct PrivilegeId {
    uint32_t lowPart = 0;
    int32_t highPart = 0;
};

class IPowerPlatform {
  public:
    virtual ~IPowerPlatform() = default;

    // The current process's token opened with `access`; null when it cannot be opened.
    virtual PlatformHandle OpenProcessToken(uint32_t access) = 0;
    // The identifier of a privilege on the local system; nothing when the name is unknown.
    virtual std::optional<PrivilegeId> LookupPrivilege(const std::wstring& name) = 0;
    // Sets the attributes of one privilege, leaving the others as they are. The call can succeed
    // without assigning it; LastError then tells (ERROR_NOT_ALL_ASSIGNED).
    virtual bool AdjustTokenPrivilege(PlatformHandle token, PrivilegeId privilege, uint32_t attributes) = 0;
    // The calling thread's last-error code.
    virtual uint32_t LastError() = 0;
    virtual void CloseHandle(PlatformHandle handle) = 0;

    virtual bool ExitWindowsEx(uint32_t flags, uint32_t reason) = 0;
    virtual bool SetSuspendState(bool hibernate, bool forceCritical, bool disableWakeEvent) = 0;
    virtual bool LockWorkStation() = 0;
    virtual intptr_t SendWindowMessage(PlatformWindow window,
                                       uint32_t message,
                                       uintptr_t wParam,
                                       intptr_t lParam) = 0;
    virtual bool IsSuspendAllowed() = 0;
    virtual bool IsHibernateAllowed() = 0;

    // The pieces of ending the taskbar's process on the Windows 95 family.
    virtual PlatformWindow FindTopLevelWindow(const std::wstring& className, const std::wstring& title) = 0;
    // 0 when the window is gone.
    virtual uint32_t WindowProcessId(PlatformWindow window) = 0;
    // Null when the process cannot be opened.
    virtual PlatformHandle OpenProcess(uint32_t access, uint32_t processId) = 0;
    virtual bool TerminateProcess(PlatformHandle process, uint32_t exitCode) = 0;
};
