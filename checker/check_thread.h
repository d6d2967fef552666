#pragma once

// The background check's worker. It runs the check once against the real registry and endpoints and,
// when a new version is to be announced, posts WM_QP_NEWVERSION to its target window as its last
// act; the window reads the installed texts and the document only after that message. Destroying
// the object asks the check to stop and waits for it without limit.

#include <windows.h>

#include <string>

#include "checker/background_check.h"
#include "checker/version_info.h"
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

  private:
    HWND m_targetWindow = nullptr;
    BackgroundCheckResult m_result;
};
