#pragma once

// Work that a worker thread runs.
class IRunnable {
  public:
    virtual void Run() = 0;

  protected:
    ~IRunnable() = default;
};
