#include "checker/ui/qp_chk_upd_app.h"

#include <windows.h>

#include <objbase.h>

#include <utility>

#include "common/http/internet_root.h"

CQPChkUpdApp::CQPChkUpdApp(CheckerAppServices services) : m_services(std::move(services)) {}

CQPChkUpdApp::~CQPChkUpdApp() {
    ExitInstance();
}

bool CQPChkUpdApp::InitInstance(const std::vector<std::wstring>& arguments) {
    const HRESULT com = ::CoInitialize(nullptr);
    m_comInitialized = SUCCEEDED(com);
    CInternetRoot::Open(kUserAgent);

    m_command = ParseCheckerCommandLine(arguments);
    switch (m_command.mode) {
        case CheckerMode::Quit:
            CloseRunningChecker();
            return false;
        case CheckerMode::InstallReport:
            if (m_services.reportInstall)
                m_services.reportInstall(m_command.text);
            return false;
        case CheckerMode::Uninstall:
            CloseRunningChecker();
            if (m_services.disableBrowserEmulation)
                m_services.disableBrowserEmulation();
            return false;
        case CheckerMode::Background:
        case CheckerMode::Interactive:
            break;
    }

    if (m_services.removeLeftoverDownloads)
        m_services.removeLeftoverDownloads();
    if (m_command.mode == CheckerMode::Background)
        return RunBackground();

    if (m_services.runInteractiveCheck)
        m_services.runInteractiveCheck();
    RunPartnerStep();
    return false;
}

bool CQPChkUpdApp::RunBackground() {
    CCheckerInstanceMutex& mutex =
        m_services.instanceMutex ? *m_services.instanceMutex : CCheckerInstanceMutex::Process();
    if (!m_window)
        m_window = std::make_unique<CQPCheckWnd>(
            m_services.announce, [this] { RunPartnerStep(); }, mutex);
    if (m_window->Create()) {
        m_window->SetMainWindow(true);
        return true;
    }
    RunPartnerStep();
    return false;
}

void CQPChkUpdApp::RunPartnerStep() {
    if (m_services.launchPartnerToast)
        m_services.launchPartnerToast();
}

int CQPChkUpdApp::ExitInstance() {
    // The window goes first: its worker is joined while COM and the internet root are still there.
    m_window.reset();
    if (m_comInitialized) {
        m_comInitialized = false;
        ::CoUninitialize();
    }
    return 0;
}

void CloseRunningChecker() {
    if (HWND running = ::FindWindowW(CQPCheckWnd::kClassName, CQPCheckWnd::kTitle))
        ::PostMessageW(running, WM_CLOSE, 0, 0);
}
