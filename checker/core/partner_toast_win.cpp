#include "checker/core/partner_toast_win.h"

#include <windows.h>

#include "checker/core/partner_switch.h"
#include "common/browser/run_program_win.h"
#include "common/path/file_system.h"
#include "common/path/path.h"
#include "common/platform/registry_win.h"

bool LaunchPartnerToast(const std::wstring& moduleDirectory, IRegistry& registry) {
    // Without the checker's own folder the name would be looked up relative to wherever we stand.
    if (moduleDirectory.empty())
        return false;
    std::wstring path = moduleDirectory;
    if (!AppendPath(path, kPartnerToastRelativePath))
        return false;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (!IsPartnerSwitchOn(registry))
        return false;
    const std::wstring folder = DirectoryOfPath(path);
    return RunProgramFile(path, folder.c_str());
}

bool LaunchPartnerToast() {
    CWin32Registry registry;
    return LaunchPartnerToast(GetModuleDirectory(), registry);
}
