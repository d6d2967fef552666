#pragma once

// The install report on the running system.

#include <string>

#include "checker/core/document_getter_win.h"
#include "checker/core/install_report.h"
#include "common/browser/browser_application_win.h"
#include "common/platform/registry_win.h"

// The report's services as the checker uses them: WinINet, the current user's registry, the work
// area, the process-wide random numbers and the system's browser. The services refer to this
// object, which must outlive them.
class CSystemInstallReport {
  public:
    InstallReportServices Services();
    // The same with another browser; tests count the pages opened without starting one.
    InstallReportServices Services(IBrowserApplication& browser);

  private:
    CWinInetDocumentGetter m_getter;
    CWin32Registry m_registry;
    CBrowserApplication m_browser;
};

// Reports to the primary endpoint (with the current user's override) and shows at most one page
// (see install_report.h). The query is what the installer gave after "/i", its "?" included.
bool ReportInstall(const std::wstring& query);
