#include "common/thread/jthread.h"

#include <process.h>

JThread::JThread(IRunnable* runnable)
    : CWorkerThread(runnable), m_stopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

JThread::~JThread() {
    StopAndWait();
}

bool JThread::Start() {
    if (IsRunning())
        return false;
    SetThreadHandle(nullptr);
    SetStopRequested(false);
    if (m_stopEvent)
        ::ResetEvent(m_stopEvent.Get());
    OnStarting();

    unsigned id = 0;
    SetThreadHandle(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &JThread::Entry, this, 0, &id)));
    return ThreadHandle() != nullptr;
}

void JThread::RequestStop() {
    CWorkerThread::RequestStop();
    if (m_stopEvent)
        ::SetEvent(m_stopEvent.Get());
}

void JThread::OnEnded() {
    SetStopRequested(false);
    if (m_stopEvent)
        ::ResetEvent(m_stopEvent.Get());
}

unsigned __stdcall JThread::Entry(void* self) {
    return static_cast<JThread*>(self)->RunGuarded() ? 0 : 2;
}
