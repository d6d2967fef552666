#include "checker/core/version_check_win.h"

#include <windows.h>

#include <cwchar>

#include "checker/core/checker_endpoints_win.h"
#include "checker/core/document_getter_win.h"
#include "checker/core/version_rules.h"
#include "common/platform/registry_win.h"
#include "common/random/process_random.h"

std::wstring UserLanguageName() {
    // Nine characters hold any ISO 639 name with its terminator.
    wchar_t name[9] = {};
    const int written = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, name, 9);
    if (written <= 0)
        return std::wstring();
    return std::wstring(name, ::wcsnlen(name, static_cast<size_t>(written)));
}

bool CheckLatestVersion(CVersionInfo& info,
                        std::wstring_view installedDisplay,
                        std::wstring_view installedSpec,
                        int32_t installedMajor,
                        int32_t installedMinor,
                        CHttpAbort* abort) {
    CWinInetDocumentGetter getter(abort);
    CWin32Registry registry;
    return info.CheckLatestVersion(getter, registry, CurrentCheckerEndpoints(), UserLanguageName(),
                                   installedDisplay, installedSpec, installedMajor, installedMinor);
}

double ProcessRandom01() {
    return Random01([] { return ProcessRandomNext15(); });
}

bool RolloutDraw(double ratio) {
    return RolloutDraw(ratio, ProcessRandom01);
}
