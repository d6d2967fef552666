#pragma once

#include "scheduler/core/power_actions.h"
#include "scheduler/core/power_platform.h"

// The power calls on Windows: advapi32 for the token, user32 for shut-down, locking and window
// messages, powrprof for suspending.
class CWin32PowerPlatform : public IPowerPlatform {
  public:
    PlatformHandle OpenProcessToken(uint32_t access) override;
    std::optional<PrivilegeId> LookupPrivilege(const std::wstring& name) override;
    bool AdjustTokenPrivilege(PlatformHandle token, PrivilegeId privilege, uint32_t attributes) override;
    uint32_t LastError() override;
    void CloseHandle(PlatformHandle handle) override;

    bool ExitWindowsEx(uint32_t flags, uint32_t reason) override;
    bool SetSuspendState(bool hibernate, bool forceCritical, bool disableWakeEvent) override;
    bool LockWorkStation() override;
    intptr_t SendWindowMessage(PlatformWindow window,
                               uint32_t message,
                               uintptr_t wParam,
                               intptr_t lParam) override;
    bool IsSuspendAllowed() override;
    bool IsHibernateAllowed() override;

    PlatformWindow FindTopLevelWindow(const std::wstring& className, const std::wstring& title) override;
    uint32_t WindowProcessId(PlatformWindow window) override;
    PlatformHandle OpenProcess(uint32_t access, uint32_t processId) override;
    bool TerminateProcess(PlatformHandle process, uint32_t exitCode) override;
};

// The power actions of this process, over the calls above and the running system's version class.
CPowerActions& SystemPowerActions();
