#pragma once

// The checker's process: COM, the internet root with the program's agent, the command line, the
// clean-up of earlier downloads, and then either the interactive check or the hidden background
// window. What the modes show and report comes in through CheckerAppServices, so the process's own
// order of events is tested without dialogs or a browser.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "checker/core/checker_command_line.h"
#include "checker/core/checker_instance_mutex_win.h"
#include "checker/ui/qp_check_wnd.h"

struct CheckerAppServices {
    std::function<void()> runInteractiveCheck;  // the check dialog, modal
    CQPCheckWnd::Announcer announce;            // the update dialog, modal
    std::function<bool(const std::wstring& query)> reportInstall;
    std::function<bool()> launchPartnerToast;
    std::function<void()> removeLeftoverDownloads;
    std::function<bool()> disableBrowserEmulation;
    CCheckerInstanceMutex* instanceMutex = nullptr;  // null: the process's own
};

class CQPChkUpdApp {
  public:
    static constexpr const wchar_t* kUserAgent = L"Quillpack Updater";

    explicit CQPChkUpdApp(CheckerAppServices services);
    ~CQPChkUpdApp();
    CQPChkUpdApp(const CQPChkUpdApp&) = delete;
    CQPChkUpdApp& operator=(const CQPChkUpdApp&) = delete;

    // `arguments` are those after the program name. True only in background mode once the hidden
    // window exists (it is then the main window, whose end ends the message loop); false when the
    // process is to end without a loop.
    bool InitInstance(const std::vector<std::wstring>& arguments);
    // After the loop, or after InitInstance returned false: joins the worker and leaves COM.
    int ExitInstance();

    // The background window; null outside background mode or when it could not be made.
    CQPCheckWnd* CheckWindow() const { return m_window.get(); }
    const CheckerCommand& Command() const { return m_command; }

  private:
    bool RunBackground();
    void RunPartnerStep();

    CheckerAppServices m_services;
    CheckerCommand m_command;
    std::unique_ptr<CQPCheckWnd> m_window;
    bool m_comInitialized = false;
};

// Posts WM_CLOSE to a running background checker's window, if there is one.
void CloseRunningChecker();
