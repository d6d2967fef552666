// QPChkUpd2's entry point: the module in the user's language, the common controls its dialogs use,
// and the application object, whose background mode alone runs a message loop.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "checker/core/checker_language.h"
#include "checker/core/download_folder_win.h"
#include "checker/core/partner_toast_win.h"
#include "checker/core/system_install_report_win.h"
#include "checker/ui/qp_check_dlg.h"
#include "checker/ui/qp_chk_upd_app.h"
#include "checker/ui/qp_update_dlg.h"
#include "common/browser/browser_emulation_win.h"
#include "common/ui/app_module.h"
#include "common/ui/message_loop.h"

namespace {

std::vector<std::wstring> ProgramArguments() {
    std::vector<std::wstring> arguments;
    for (int i = 1; i < __argc && __wargv; ++i)
        arguments.emplace_back(__wargv[i] ? __wargv[i] : L"");
    return arguments;
}

CheckerAppServices ProgramServices() {
    CheckerAppServices services;
    services.runInteractiveCheck = [] {
        CQPCheckDlg dlg;
        dlg.DoModal(nullptr);
    };
    services.announce = [](CVersionInfo& info, const std::wstring& display, const std::wstring& spec) {
        CQPUpdateDlg dlg(info);
        dlg.SetInstalledVersion(display, spec);
        dlg.SetActivation(CQPUpdateDlg::Activation::Background);
        dlg.DoModal(nullptr);
    };
    services.reportInstall = [](const std::wstring& query) { return ReportInstall(query); };
    services.launchPartnerToast = [] { return LaunchPartnerToast(); };
    services.removeLeftoverDownloads = [] { RemoveLeftoverDownloadFolders(); };
    services.disableBrowserEmulation = [] { return DisableBrowserEmulation(); };
    return services;
}

int RunChecker() {
    CQPChkUpdApp app(ProgramServices());
    int exitCode = 0;
    if (app.InitInstance(ProgramArguments())) {
        CMessageLoop loop;
        CAppModule::Instance().AddMessageLoop(&loop);
        exitCode = loop.Run();
        CAppModule::Instance().RemoveMessageLoop();
    }
    app.ExitInstance();
    return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    CAppModule::Instance().Init(instance, CheckerResourceLanguage(::GetUserDefaultUILanguage()));
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS;
    ::InitCommonControlsEx(&controls);

    int exitCode = 0;
    try {
        exitCode = RunChecker();
    } catch (...) {
        // Like every other early end of the checker, silent.
        exitCode = 0;
    }
    CAppModule::Instance().Term();
    return exitCode;
}
