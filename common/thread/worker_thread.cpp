#include "common/thread/worker_thread.h"

CWorkerThread::~CWorkerThread() {
    StopAndWait();
}

bool CWorkerThread::IsRunning() const {
    return m_thread && ::WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT;
}

bool CWorkerThread::Wait(DWORD milliseconds) {
    if (!m_thread)
        return true;
    if (::WaitForSingleObject(m_thread.Get(), milliseconds) != WAIT_OBJECT_0)
        return false;
    m_thread.Reset();
    OnEnded();
    return true;
}

void CWorkerThread::RequestStop() {
    m_stopRequested.store(true);
}

void CWorkerThread::Run() {
    if (m_runnable)
        m_runnable->Run();
}

void CWorkerThread::StopAndWait() {
    if (!m_thread)
        return;
    RequestStop();
    ::WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset();
}

bool CWorkerThread::RunGuarded() {
    try {
        Run();
        return true;
    } catch (...) {
        return false;
    }
}
