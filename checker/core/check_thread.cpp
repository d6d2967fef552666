#include "checker/core/check_thread.h"

#include <ctime>

#include "checker/core/crt_local_calendar.h"
#include "checker/core/version_check_win.h"
#include "checker/res/resource.h"
#include "common/platform/registry_win.h"

CCheckThread::~CCheckThread() {
    StopAndWait();
}

void CCheckThread::Run() {
    m_result = BackgroundCheckResult{};
    CWin32Registry registry;
    const CCrtLocalCalendar calendar;
    const BackgroundCheckServices services{
        registry,
        calendar,
        [] { return static_cast<int64_t>(std::time(nullptr)); },
        [](uint32_t milliseconds) { ::Sleep(milliseconds); },
        [this] { return IsStopRequested(); },
        [this](CVersionInfo& info, const InstalledVersion& installed) {
            return CheckLatestVersion(info, installed.display, installed.spec, installed.major,
                                      installed.minor, &m_abort);
        },
        [](double ratio) { return RolloutDraw(ratio); },
    };
    if (RunBackgroundCheck(services, m_result) && m_targetWindow && !IsStopRequested()) {
        m_announce.store(true);
        ::PostMessageW(m_targetWindow, WM_QP_NEWVERSION, 0, 0);
    }
}

void CCheckThread::RequestStop() {
    CThread::RequestStop();
    m_abort.Abort();
}

bool CCheckThread::TakeAnnouncement() {
    return m_announce.exchange(false);
}

void CCheckThread::OnStarting() {
    m_abort.Reset();
    m_announce.store(false);
}
