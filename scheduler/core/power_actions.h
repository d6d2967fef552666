#pragma once

// The seven system actions (PowerAction 0..6) and whether sleep and hibernate are available. Each
// operation is an exact sequence of platform calls: the shut-down privilege first where the system
// has one, then the request; nothing waits for the action to happen.

#include <cstdint>

#include "scheduler/core/power_platform.h"

namespace PowerCalls {
constexpr uint32_t TokenAdjustPrivileges = 0x20;
constexpr uint32_t TokenQuery = 0x08;
constexpr uint32_t PrivilegeEnabled = 2;
constexpr uint32_t ErrorNotAllAssigned = 1300;
constexpr uint32_t ExitShutdown = 0x01;
constexpr uint32_t ExitReboot = 0x02;
constexpr uint32_t ExitForce = 0x04;
constexpr uint32_t ExitForceIfHung = 0x10;
constexpr uint32_t WmSysCommand = 0x0112;
constexpr uintptr_t ScMonitorPower = 0xF170;
constexpr uintptr_t ScScreenSave = 0xF140;
// The lParam of both system commands; for the display it means "power off".
constexpr intptr_t SysCommandParam = 2;
constexpr uint32_t ProcessAllAccess = 0x1FFFFF;
constexpr const wchar_t* ShutdownPrivilege = L"SeShutdownPrivilege";
constexpr const wchar_t* TaskbarClass = L"Shell_TrayWnd";
}  // namespace PowerCalls

class CPowerActions {
  public:
    // osVersionClass is GetOsVersionClass(). The Windows 95 family (0x20000 without the NT bit)
    // ends the taskbar's process instead of asking for the privilege; every other class, a failed
    // or unknown version query included, takes the NT way.
    CPowerActions(IPowerPlatform& platform, uint32_t osVersionClass)
        : m_platform(platform), m_osVersionClass(osVersionClass) {}

    // True when the request was made. `window` receives the display and screen-saver commands (its
    // default window procedure hands them to the system); with none they do nothing. A code that is
    // no system action does nothing; both report true.
    bool PerformPowerAction(int32_t action, PlatformWindow window, bool forceIfHung);

    // True only when the token now holds the shut-down privilege enabled.
    bool EnableShutdownPrivilege();

    // Shut down or restart. force ends every program; otherwise forceIfHung ends only hung ones.
    bool ExitSystem(bool restart, bool force, bool forceIfHung);

    bool IsSleepAllowed();
    bool IsHibernateAllowed();

  private:
    bool IsNtFamily() const;
    bool Suspend(bool hibernate);
    void EndTaskbarProcess();

    IPowerPlatform& m_platform;
    uint32_t m_osVersionClass;
};
