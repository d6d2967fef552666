#include "scheduler/core/power_actions.h"

#include "scheduler/core/os_version.h"
#include "scheduler/core/power_action.h"

using namespace PowerCalls;

namespace {

// The Windows 95 family's own bit. A class without either family bit (a failed or unknown version
// query) is taken as NT: ending the taskbar's process there would end Explorer for nothing.
constexpr uint32_t kWindows95FamilyBit = OsVersionCode::Windows95;

}  // namespace

bool CPowerActions::IsNtFamily() const {
    return (m_osVersionClass & OsVersionCode::NtFamily) != 0 || (m_osVersionClass & kWindows95FamilyBit) == 0;
}

bool CPowerActions::PerformPowerAction(int32_t action, PlatformWindow window, bool forceIfHung) {
    switch (action) {
        case PowerAction::ShutDown:
            return ExitSystem(false, false, forceIfHung);
        case PowerAction::Restart:
            return ExitSystem(true, false, forceIfHung);
        case PowerAction::Sleep:
            return Suspend(false);
        case PowerAction::Hibernate:
            return Suspend(true);
        case PowerAction::DisplayOff:
            if (window)
                m_platform.SendWindowMessage(window, WmSysCommand, ScMonitorPower, SysCommandParam);
            return true;
        case PowerAction::ScreenSaver:
            if (window)
                m_platform.SendWindowMessage(window, WmSysCommand, ScScreenSave, SysCommandParam);
            return true;
        case PowerAction::LockWindows:
            return m_platform.LockWorkStation();
        default:
            return true;
    }
}

bool CPowerActions::EnableShutdownPrivilege() {
    PlatformHandle token = m_platform.OpenProcessToken(TokenAdjustPrivileges | TokenQuery);
    if (!token)
        return false;
    bool enabled = false;
    // Without the identifier there is nothing meaningful to adjust.
    if (const auto privilege = m_platform.LookupPrivilege(ShutdownPrivilege)) {
        const bool adjusted = m_platform.AdjustTokenPrivilege(token, *privilege, PrivilegeEnabled);
        // A privilege the user does not hold is not an error of the call; only the last error says so.
        const uint32_t error = m_platform.LastError();
        enabled = adjusted && error == 0;
    }
    m_platform.CloseHandle(token);
    return enabled;
}

bool CPowerActions::ExitSystem(bool restart, bool force, bool forceIfHung) {
    if (IsNtFamily()) {
        if (!EnableShutdownPrivilege())
            return false;
    } else {
        EndTaskbarProcess();
    }
    uint32_t flags = restart ? ExitReboot : ExitShutdown;
    if (force)
        flags |= ExitForce;
    else if (forceIfHung)
        flags |= ExitForceIfHung;
    return m_platform.ExitWindowsEx(flags, 0);
}

bool CPowerActions::IsSleepAllowed() {
    return m_platform.IsSuspendAllowed();
}

bool CPowerActions::IsHibernateAllowed() {
    return m_platform.IsHibernateAllowed();
}

bool CPowerActions::Suspend(bool hibernate) {
    if (IsNtFamily() && !EnableShutdownPrivilege())
        return false;
    return m_platform.SetSuspendState(hibernate, false, false);
}

// On the Windows 95 family a running taskbar can hold up the shut-down. Whatever fails here, the
// shut-down goes on.
void CPowerActions::EndTaskbarProcess() {
    // Any title: an empty string, not L"" (see LanguageChoiceFor on GCC 12's false -Warray-bounds).
    PlatformWindow taskbar = m_platform.FindTopLevelWindow(TaskbarClass, std::wstring());
    if (!taskbar)
        return;
    const uint32_t processId = m_platform.WindowProcessId(taskbar);
    if (processId == 0)
        return;
    PlatformHandle process = m_platform.OpenProcess(ProcessAllAccess, processId);
    if (!process)
        return;
    m_platform.TerminateProcess(process, 1);
    m_platform.CloseHandle(process);
}
