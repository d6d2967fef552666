#include "scheduler/core/run_at_log_on_win.h"

#include "common/path/file_system.h"
#include "common/platform/registry_win.h"
#include "scheduler/core/run_at_log_on.h"

bool IsRunAtLogOn() {
    CWin32Registry registry;
    return IsRunAtLogOn(registry);
}

void SetRunAtLogOn(bool enable) {
    CWin32Registry registry;
    SetRunAtLogOn(registry, enable, enable ? GetModuleFilePath() : std::wstring());
}
