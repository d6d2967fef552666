#pragma once

// The background checker's single-instance mutex. It is made once, the first time a hidden check
// window is created, and held until its owner goes (for the process's own one, until the process
// ends). A mutex of that name made by another process first means another background checker runs.

#include <windows.h>

#include "common/platform/unique_resource.h"

class CCheckerInstanceMutex {
  public:
    static constexpr const wchar_t* kName = L"{60162EFE-A6C8-40ea-803B-D8EEF900FDEF}";

    CCheckerInstanceMutex() = default;
    CCheckerInstanceMutex(const CCheckerInstanceMutex&) = delete;
    CCheckerInstanceMutex& operator=(const CCheckerInstanceMutex&) = delete;

    // Makes the mutex on the first call (never owning it) and answers every call with what that
    // creation found: true when the name already existed.
    bool AlreadyExisted();

    // The one the program's window uses, held until the process ends.
    static CCheckerInstanceMutex& Process();

  private:
    bool m_made = false;
    bool m_alreadyExisted = false;
    UniqueHandle m_handle;
};
