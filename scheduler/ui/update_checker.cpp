#include "scheduler/ui/update_checker.h"

#include <shellapi.h>

#include "common/platform/registry_win.h"
#include "common/text/format.h"
#include "common/text/web_address.h"
#include "common/ui/app_module.h"
#include "common/ui/message_loop.h"
#include "common/ui/resources.h"
#include "common/version/module_version.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/core/update_answer.h"
#include "scheduler/core/update_manual_check.h"
#include "scheduler/core/update_toast_ad.h"
#include "scheduler/res/resource.h"
#include "update_endpoints.h"

namespace {

std::wstring OwnProductVersion() {
    CModuleVersion module;
    if (!module.LoadModule(nullptr))
        return std::wstring();
    return module.GetValue(L"ProductVersion");
}

}  // namespace

std::wstring SystemLanguageName() {
    wchar_t name[9] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, name, 9) == 0)
        return std::wstring();
    return name;
}

UpdateEndpoints ConfiguredUpdateEndpoints() {
    CWin32Registry registry;
    return ReadUpdateEndpoints(registry, {TIVOLAN_UPDATE_PRIMARY_BASE, TIVOLAN_UPDATE_FALLBACK_BASE});
}

CUpdateChecker::CUpdateChecker(HWND window) : CUpdateChecker(window, m_httpFetcher) {}

CUpdateChecker::CUpdateChecker(HWND window, IUpdateFetcher& fetcher)
    : m_check(m_clock, fetcher), m_window(window) {
    m_check.lastCheck = Settings().lastUpdateCheck;
    m_check.version = OwnProductVersion();
    m_check.lang = LoadUiString(IDS_LANGUAGE_CODE);
    m_check.systemLanguage = SystemLanguageName();
    m_check.endpoints = ConfiguredUpdateEndpoints();
}

CUpdateChecker::~CUpdateChecker() {
    // The body uses this object's members, which go before the base destructor would wait.
    StopAndWait();
}

void CUpdateChecker::Bind(HWND window) {
    CLockHolder hold(m_lock);
    m_window = window;
}

void CUpdateChecker::SetLanguage(const std::wstring& lang) {
    CLockHolder hold(m_lock);
    m_check.lang = lang;
}

void CUpdateChecker::Run() {
    if (m_manualRun) {
        const UpdateOutcome outcome = Check(true);
        m_result.store(static_cast<int>(outcome));
        m_resultReady.store(!IsStopRequested());
        return;
    }
    HWND window = nullptr;
    {
        CLockHolder hold(m_lock);
        window = m_window;
    }
    if (!window)
        return;
    const UpdateOutcome outcome = Check(false);
    // A stopped check failed because of the stop, and its window is on the way out.
    if (IsStopRequested())
        return;
    m_result.store(static_cast<int>(outcome));
    m_resultReady.store(true);
    ::PostMessageW(window, kResultMessage, static_cast<WPARAM>(outcome), 0);
}

void CUpdateChecker::RequestStop() {
    JThread::RequestStop();
    m_abort.Abort();
}

void CUpdateChecker::OnStarting() {
    m_abort.Reset();
    m_resultReady.store(false);
}

std::optional<UpdateOutcome> CUpdateChecker::TakeResult() {
    if (!m_resultReady.exchange(false))
        return std::nullopt;
    return static_cast<UpdateOutcome>(m_result.load());
}

std::optional<UpdateOutcome> CUpdateChecker::FetchWhileDispatching() {
    m_manualRun = true;
    if (!Start()) {
        // No thread to be had: the old way, here.
        m_manualRun = false;
        return Check(true);
    }
    const bool finished =
        DispatchMessagesUntilSignalled(ThreadHandle(), CAppModule::Instance().MessageLoop());
    if (!finished)
        RequestStop();
    Wait(INFINITE);
    m_manualRun = false;
    if (!finished)
        return std::nullopt;
    return TakeResult();
}

UpdateOutcome CUpdateChecker::Check(bool force) {
    CLockHolder hold(m_lock);
    return m_check.Check(force);
}

bool CUpdateChecker::Accept() {
    std::wstring response;
    std::wstring version;
    std::wstring lang;
    int64_t lastCheck = 0;
    {
        CLockHolder hold(m_lock);
        response = m_check.response;
        version = m_check.version;
        lang = m_check.lang;
        lastCheck = m_check.lastCheck;
    }
    CWin32Registry registry;
    return AcceptAndRecordUpdateAnswer(response, lastCheck, version, lang, ToastAdRecord(), m_info,
                                       Settings(), registry);
}

bool CUpdateChecker::ShouldNotify(bool force) const {
    return ::ShouldNotify(m_info, Version(), force);
}

bool CUpdateChecker::IsRestricted() const {
    return ::IsRestricted(m_info, Version());
}

void CUpdateChecker::RunManualCheck() {
    const std::optional<UpdateOutcome> fetched = FetchWhileDispatching();
    if (!fetched)
        return;
    const UpdateOutcome outcome = *fetched;
    const bool accepted = outcome == UpdateOutcome::Loaded && Accept();
    const std::wstring appName = LoadUiString(IDS_APP_NAME);
    switch (DecideManualCheck(outcome, accepted, accepted && ShouldNotify(true))) {
        case ManualCheckReply::NotInstalled:
            ShowMessage(FormatText(LoadUiString(IDS_UPDATE_NOT_INSTALLED), {appName}), MB_OK | MB_ICONERROR);
            break;
        case ManualCheckReply::LoadFailed:
            ShowMessage(LoadUiString(IDS_UPDATE_LOAD_FAILED), MB_OK | MB_ICONERROR);
            break;
        case ManualCheckReply::AskToUpdate:
            AskToUpdate();
            break;
        case ManualCheckReply::UpToDate:
            ShowMessage(FormatText(LoadUiString(IDS_UPDATE_UP_TO_DATE), {appName}),
                        MB_OK | MB_ICONINFORMATION);
            break;
    }
}

void CUpdateChecker::AskToUpdate() {
    if (m_busy)
        return;
    m_busy = true;
    const int answer =
        ShowMessage(FormatText(LoadUiString(IDS_UPDATE_QUESTION), {m_info.display}), MB_OKCANCEL);
    if (answer == IDOK) {
        // The address comes from the endpoint: anything but a web page could start a program.
        if (IsWebAddress(m_info.url))
            OpenAddress(m_info.url);
    } else if (answer == IDCANCEL && IsRestricted()) {
        HWND window = nullptr;
        {
            CLockHolder hold(m_lock);
            window = m_window;
        }
        if (window)
            ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    m_busy = false;
}

std::wstring CUpdateChecker::Version() const {
    CLockHolder hold(m_lock);
    return m_check.version;
}

int CUpdateChecker::ShowMessage(const std::wstring& text, UINT flags) {
    HWND owner = nullptr;
    {
        CLockHolder hold(m_lock);
        owner = m_window;
    }
    return ::MessageBoxW(owner, text.c_str(), LoadUiString(IDS_APP_NAME).c_str(), flags);
}

void CUpdateChecker::OpenAddress(const std::wstring& address) {
    // A failure is not reported; the user can try again or visit the product page.
    ::ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOW);
}

void RunManualUpdateCheck(HWND tray) {
    CUpdateChecker checker(tray);
    checker.RunManualCheck();
}
