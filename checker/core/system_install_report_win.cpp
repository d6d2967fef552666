#include "checker/core/system_install_report_win.h"

#include "checker/core/checker_endpoints_win.h"
#include "checker/core/work_area_win.h"
#include "common/random/process_random.h"

InstallReportServices CSystemInstallReport::Services() {
    return Services(m_browser);
}

InstallReportServices CSystemInstallReport::Services(IBrowserApplication& browser) {
    return InstallReportServices{m_getter, m_registry, browser, SystemWorkArea, ProcessRandomBelowOneDraw};
}

bool ReportInstall(const std::wstring& query) {
    CSystemInstallReport system;
    return ReportInstall(system.Services(), CurrentCheckerEndpoints().primary, query);
}
