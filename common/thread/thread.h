#pragma once

#include "common/thread/worker_thread.h"

// The checker's worker thread. Start creates the thread suspended, keeps a duplicate of its handle
// and only then lets it run, so the object never races the new thread for its own state.
class CThread : public CWorkerThread {
  public:
    explicit CThread(IRunnable* runnable = nullptr) : CWorkerThread(runnable) {}
    ~CThread() override;

    // False while a thread of this object is still running, or when no thread could be made.
    bool Start();

  private:
    static unsigned __stdcall Entry(void* self);
};
