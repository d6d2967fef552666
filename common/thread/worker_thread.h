#pragma once

#include <windows.h>

#include <atomic>

#include "common/platform/unique_resource.h"
#include "common/thread/runnable.h"

// What the checker's CThread and the scheduler's JThread have in common: one worker at a time,
// a stop request that the body polls, and waiting for the end.
//
// A class that overrides Run must call StopAndWait() in its own destructor: by the time this
// destructor runs, the derived part the body uses is already gone.
class CWorkerThread {
  public:
    explicit CWorkerThread(IRunnable* runnable) : m_runnable(runnable) {}
    virtual ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // A thread exists and has not ended.
    bool IsRunning() const;

    // Waits for the thread to end; INFINITE waits without limit. True when there is no thread
    // or it has ended (its handle is then closed), false on time-out.
    bool Wait(DWORD milliseconds);

    // Asks the body to finish; it polls IsStopRequested().
    virtual void RequestStop();
    bool IsStopRequested() const { return m_stopRequested.load(); }

    // The thread body; by default the runnable's Run, if any.
    virtual void Run();

  protected:
    // Sets the stop request and waits for the thread without limit.
    void StopAndWait();
    // Called by Start once the stop request is cleared, before the new thread runs.
    virtual void OnStarting() {}
    // Called after Wait has seen the thread end and closed its handle.
    virtual void OnEnded() {}

    HANDLE ThreadHandle() const { return m_thread.Get(); }
    void SetThreadHandle(HANDLE thread) { m_thread.Reset(thread); }
    void SetStopRequested(bool value) { m_stopRequested.store(value); }
    // Runs the body for a thread entry with no exception escaping; false if one was thrown.
    bool RunGuarded();

  private:
    IRunnable* m_runnable;
    UniqueHandle m_thread;
    std::atomic<bool> m_stopRequested{false};
};
