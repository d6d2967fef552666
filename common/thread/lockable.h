#pragma once

// A lock that callers take and release explicitly around shared data.
class ILockable {
  public:
    virtual void Lock() = 0;
    virtual void Unlock() = 0;

  protected:
    ~ILockable() = default;
};
