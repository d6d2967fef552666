#pragma once

// A lock that callers take and release explicitly around shared data.
class ILockable {
  public:
    virtual void Lock() = 0;
    virtual void Unlock() = 0;

  protected:
    ~ILockable() = default;
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
