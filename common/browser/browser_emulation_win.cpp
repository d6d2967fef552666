#include "common/browser/browser_emulation_win.h"

#include <windows.h>

#include <string>

#include "common/browser/browser_emulation.h"
#include "common/path/path.h"
#include "common/platform/registry_win.h"
#include "common/version/module_version.h"

namespace {

std::wstring ThisProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        // A full buffer may hold a cut path: ask again with more room.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace

uint32_t GetBrowserMajorVersion() {
    CModuleVersion version;
    if (!version.Load(L"ieframe.dll"))
        return 0;
    return HIWORD(version.Fixed().dwProductVersionMS);
}

bool EnableBrowserEmulation() {
    CWin32Registry registry;
    return EnableBrowserEmulation(registry, FileNameOfPath(ThisProgramPath()), GetBrowserMajorVersion());
}

bool DisableBrowserEmulation() {
    CWin32Registry registry;
    return DisableBrowserEmulation(registry, FileNameOfPath(ThisProgramPath()), GetBrowserMajorVersion());
}
