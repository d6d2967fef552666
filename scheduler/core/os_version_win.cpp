#include "scheduler/core/os_version_win.h"

#include <windows.h>

std::optional<OsVersionRecord> CWin32OsVersionSource::Query() const {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    // The manifest lists Windows 7 to 11, so the answer is not capped at 6.2.
    if (!::GetVersionExW(&info))
        return std::nullopt;
    return OsVersionRecord{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                           info.szCSDVersion};
}

uint32_t GetOsVersionClass() {
    static COsVersionClass versionClass;
    static CWin32OsVersionSource source;
    return versionClass.Get(source);
}
