#include "scheduler/core/settings_win.h"

#include "common/platform/registry_win.h"
#include "scheduler/core/os_version_win.h"

CSettings& Settings() {
    static CSettings settings = [] {
        CSettings loaded;
        CWin32Registry registry;
        loaded.Load(registry, GetOsVersionClass());
        return loaded;
    }();
    return settings;
}

void SaveSettings(bool withTasks) {
    CWin32Registry registry;
    Settings().Save(registry, withTasks);
}
