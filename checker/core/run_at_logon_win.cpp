#include "checker/core/run_at_logon_win.h"

#include "checker/core/run_at_logon.h"
#include "common/path/file_system.h"
#include "common/platform/registry_win.h"

void EnsureRunAtLogon() {
    CWin32Registry registry;
    EnsureRunAtLogon(registry, GetModuleFilePath());
}
