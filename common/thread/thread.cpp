#include "common/thread/thread.h"

#include <process.h>

CThread::~CThread() {
    StopAndWait();
}

bool CThread::Start() {
    if (IsRunning())
        return false;
    SetThreadHandle(nullptr);

    unsigned id = 0;
    UniqueHandle started(
        reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &CThread::Entry, this, CREATE_SUSPENDED, &id)));
    if (!started)
        return false;

    HANDLE own = nullptr;
    const HANDLE process = ::GetCurrentProcess();
    if (!::DuplicateHandle(process, started.Get(), process, &own, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        // The thread sees the stop request and ends at once; wait for that so it never touches an
        // object its owner may destroy as soon as we return.
        SetStopRequested(true);
        ::ResumeThread(started.Get());
        ::WaitForSingleObject(started.Get(), INFINITE);
        return false;
    }
    SetThreadHandle(own);
    SetStopRequested(false);
    OnStarting();
    ::ResumeThread(started.Get());
    return true;
}

unsigned __stdcall CThread::Entry(void* self) {
    auto* thread = static_cast<CThread*>(self);
    if (thread->IsStopRequested())
        return 1;
    return thread->RunGuarded() ? 0 : 2;
}
