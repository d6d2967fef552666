// Tivolan's entry point: the single-instance rule, the command line, and the two long-lived
// windows (the hidden main dialog and the tray window) around the message loop.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/browser/browser_emulation_win.h"
#include "common/path/file_system.h"
#include "common/ui/app_module.h"
#include "common/ui/message_loop.h"
#include "common/ui/resources.h"
#include "scheduler/core/app_user_model_id.h"
#include "scheduler/core/forwarded_request.h"
#include "scheduler/core/jump_list_win.h"
#include "scheduler/core/launch_request.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/core/ui_language_win.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/main_dlg.h"
#include "scheduler/ui/shell_link.h"
#include "scheduler/ui/tivolan_app.h"
#include "scheduler/ui/tray.h"

namespace {

constexpr wchar_t kInstanceMutexName[] = L"Tivolan-70BDD048-FA5E-4830-8843-D9BAF41DE860";

// Made during static initialisation, before anything else of the program runs, and closed last.
// It is never waited on: its existence alone says that another instance runs.
class CInstanceMutex {
  public:
    CInstanceMutex()
        : m_handle(::CreateMutexW(nullptr, FALSE, kInstanceMutexName)),
          m_alreadyExisted(::GetLastError() == ERROR_ALREADY_EXISTS) {}
    ~CInstanceMutex() {
        if (m_handle)
            ::CloseHandle(m_handle);
    }
    CInstanceMutex(const CInstanceMutex&) = delete;
    CInstanceMutex& operator=(const CInstanceMutex&) = delete;

    bool AlreadyExisted() const { return m_alreadyExisted; }

  private:
    HANDLE m_handle;
    bool m_alreadyExisted;
};

CInstanceMutex g_instanceMutex;

void SetAppUserModelId() {
    using SetIdFunction = HRESULT(WINAPI*)(PCWSTR);
    HMODULE shell = ::GetModuleHandleW(L"Shell32.dll");
    if (!shell)
        shell = ::LoadLibraryW(L"Shell32.dll");
    if (!shell)
        return;
    auto setId = reinterpret_cast<SetIdFunction>(
        reinterpret_cast<void*>(::GetProcAddress(shell, "SetCurrentProcessExplicitAppUserModelID")));
    if (setId)
        setId(kAppUserModelId);
}

JumpListTitles CurrentJumpListTitles() {
    JumpListTitles titles;
    for (size_t action = 0; action < titles.size(); ++action)
        titles[action] = ActionTexts().ActionName(static_cast<int32_t>(action));
    return titles;
}

std::vector<std::wstring> ProgramArguments() {
    std::vector<std::wstring> arguments;
    for (int i = 1; i < __argc && __wargv; ++i)
        arguments.emplace_back(__wargv[i] ? __wargv[i] : L"");
    return arguments;
}

HWND FindFirstInstance() {
    return ::FindWindowW(CTray::kClassName, CTray::kTitle);
}

// COM is initialised by wWinMain before the command line is read.
bool PinProgramToTaskbar() {
    std::wstring name = LoadUiString(IDS_APP_NAME);
    if (name.empty())
        name = L"Tivolan";
    return PinToTaskbar(name, GetModuleFilePath(), L"", L"", 0, kAppUserModelId);
}

int ForwardToFirstInstance(const LaunchRequest& request) {
    HWND tray = FindFirstInstance();
    if (!tray)
        return 0;
    ::SetForegroundWindow(tray);
    if (request.autoStart) {
        const auto bytes = ForwardedRequest::From(request).Encode();
        COPYDATASTRUCT data{};
        data.dwData = 0;
        data.cbData = static_cast<DWORD>(bytes.size());
        data.lpData = const_cast<uint8_t*>(bytes.data());
        ::SendMessageW(tray, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    } else {
        ::PostMessageW(tray, WM_COMMAND, ID_TRAY_OPEN, 0);
    }
    return 0;
}

int RunFirstInstance(const LaunchRequest& request, int showCommand) {
    CMessageLoop loop;
    CAppModule::Instance().AddMessageLoop(&loop);
    int exitCode = 0;
    {
        CMainDlg mainDlg;
        if (mainDlg.Create(nullptr)) {
            CTray& tray = Tray();
            // The process-wide objects meet here: the tray gets the scheduler that reports to it.
            tray.Attach({Scheduler(), &OpenProductPage});
            tray.SetMainWindow(mainDlg.Hwnd());
            if (tray.Create()) {
                if (request.autoStart)
                    Scheduler().Add(request.kind, request.seconds, request.action, request.text, false);
                else if (ShowsMainWindow(request))
                    ::ShowWindow(mainDlg.Hwnd(), showCommand);
                exitCode = loop.Run();
            }
        }
    }
    CAppModule::Instance().RemoveMessageLoop();
    return exitCode;
}

int RunCommandLine(int showCommand) {
    const ParsedCommandLine parsed = ParseLaunchArguments(ProgramArguments());
    if (parsed.pin)
        PinProgramToTaskbar();
    switch (parsed.command) {
        case LaunchCommand::RegisterJumpList:
            RegisterJumpList(CurrentJumpListTitles());
            return 0;
        case LaunchCommand::UnregisterJumpList:
            DeleteJumpList();
            DisableBrowserEmulation();
            return 0;
        case LaunchCommand::ExitRunning:
            if (HWND tray = FindFirstInstance())
                ::PostMessageW(tray, WM_COMMAND, ID_TRAY_EXIT, 0);
            return 0;
        case LaunchCommand::Start:
            break;
    }
    if (g_instanceMutex.AlreadyExisted())
        return ForwardToFirstInstance(parsed.request);
    return RunFirstInstance(parsed.request, showCommand);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    SetAppUserModelId();
    CSettings& settings = Settings();
    settings.ApplyLanguage();
    ::CoInitialize(nullptr);
    // The bar classes, plus the tab strip and the list view the pages are made of.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    CAppModule::Instance().Init(instance, StringTableLanguageFor(settings.setLang));
    settings.ApplyLanguage();
    if (settings.setLang != settings.lang) {
        settings.lang = settings.setLang;
        RegisterJumpList(CurrentJumpListTitles());
    }

    int exitCode = 0;
    try {
        exitCode = RunCommandLine(showCommand);
    } catch (...) {
        exitCode = 0;
    }
    CAppModule::Instance().Term();
    ::CoUninitialize();
    return exitCode;
}
