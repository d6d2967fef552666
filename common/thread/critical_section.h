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

// Holds an ILockable for one scope, so an early return cannot leave it taken.
class CLockHolder {
  public:
    explicit CLockHolder(ILockable& lock) : m_lock(lock) { m_lock.Lock(); }
    ~CLockHolder() { m_lock.Unlock(); }
    CLockHolder(const CLockHolder&) = delete;
    CLockHolder& operator=(const CLockHolder&) = delete;

  private:
    ILockable& m_lock;
};
