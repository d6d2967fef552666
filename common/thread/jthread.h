#pragma once

#include "common/thread/worker_thread.h"

// The scheduler's worker thread. Besides the stop flag it has a manual-reset stop event, so a body
// that sleeps between steps can wait on the event and wake as soon as a stop is requested.
class JThread : public CWorkerThread {
  public:
    explicit JThread(IRunnable* runnable = nullptr);
    ~JThread() override;

    // False while a thread of this object is still running, or when no thread could be made.
    bool Start();

    void RequestStop() override;
    HANDLE StopEvent() const { return m_stopEvent.Get(); }

  protected:
    void OnEnded() override;

  private:
    static unsigned __stdcall Entry(void* self);

    UniqueHandle m_stopEvent;
};
