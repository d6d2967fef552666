#pragma once

#include <windows.h>

#include "common/thread/lockable.h"

// ILockable over one Windows critical section (recursive for the owning thread, like any).
class JCriticalSection final : public ILockable {
  public:
    JCriticalSection() { ::InitializeCriticalSection(&m_section); }
    ~JCriticalSection() { ::DeleteCriticalSection(&m_section); }
    JCriticalSection(const JCriticalSection&) = delete;
    JCriticalSection& operator=(const JCriticalSection&) = delete;

    void Lock() override;
    void Unlock() override;

  private:
    CRITICAL_SECTION m_section;
};
