#include "checker/core/checker_instance_mutex_win.h"

bool CCheckerInstanceMutex::AlreadyExisted() {
    if (!m_made) {
        m_made = true;
        HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kName);
        m_alreadyExisted = ::GetLastError() == ERROR_ALREADY_EXISTS;
        m_handle.Reset(mutex);
    }
    return m_alreadyExisted;
}

CCheckerInstanceMutex& CCheckerInstanceMutex::Process() {
    static CCheckerInstanceMutex mutex;
    return mutex;
}
