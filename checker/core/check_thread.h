#pragma once

// The background check's worker. It runs the check once against the real registry and endpoints and,
// when a new version is to be announced, says so (TakeAnnouncement) and posts WM_QP_NEWVERSION to its
// target window as its last act; the window reads the installed texts and the document only after
// that. A stop request ends a request in progress at once by closing its handles; destroying the
// object asks for one and waits for the worker to end.

#include <windows.h>

#include <atomic>
#include <string>

#include "checker/core/background_check.h"
#include "checker/core/version_info.h"
#include "common/http/http_abort.h"
#include "common/thread/thread.h"

class CCheckThread : public CThread {
  public:
    CCheckThread() = default;
    ~CCheckThread() override;

    void SetTargetWindow(HWND window) { m_targetWindow = window; }
    HWND TargetWindow() const { return m_targetWindow; }

    // Filled by the worker; read once it has posted.
    const std::wstring& InstalledDisplay() const { return m_result.installedDisplay; }
    const std::wstring& InstalledSpec() const { return m_result.installedSpec; }
    CVersionInfo& VersionInfo() { return m_result.info; }

    void Run() override;
    void RequestStop() override;

    // True once, after the worker has finished a check whose new version is to be announced; the
    // texts and the document are then the worker's no longer. False while it runs, before it was
    // started, when it had nothing to announce, and once taken: WM_QP_NEWVERSION can come from
    // anyone, and only this says it came from the worker.
    bool TakeAnnouncement();

  protected:
    void OnStarting() override;

  private:
    HWND m_targetWindow = nullptr;
    BackgroundCheckResult m_result;
    CHttpAbort m_abort;
    std::atomic<bool> m_announce{false};
};
