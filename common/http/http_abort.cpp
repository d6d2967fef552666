#include "common/http/http_abort.h"

#include <algorithm>

void CHttpAbort::Abort() {
    std::vector<std::pair<HINTERNET, HINTERNET>> open;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_aborted = true;
        open.swap(m_open);
    }
    // Outside the lock: a client that finishes meanwhile finds its handles gone and leaves them.
    // The request first, so the call blocked on it ends before its connection goes.
    for (const auto& [connection, request] : open) {
        ::InternetCloseHandle(request);
        ::InternetCloseHandle(connection);
    }
}

void CHttpAbort::Reset() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_aborted = false;
}

bool CHttpAbort::IsAborted() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_aborted;
}

bool CHttpAbort::Attach(HINTERNET connection, HINTERNET request) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_aborted)
        return false;
    m_open.emplace_back(connection, request);
    return true;
}

bool CHttpAbort::Detach(HINTERNET connection) {
    std::lock_guard<std::mutex> guard(m_lock);
    const auto found = std::find_if(m_open.begin(), m_open.end(),
                                    [connection](const auto& open) { return open.first == connection; });
    if (found == m_open.end())
        return false;
    m_open.erase(found);
    return true;
}
