#include "common/thread/critical_section.h"

void JCriticalSection::Lock() {
    ::EnterCriticalSection(&m_section);
}

void JCriticalSection::Unlock() {
    ::LeaveCriticalSection(&m_section);
}
