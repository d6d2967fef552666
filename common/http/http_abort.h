#pragma once

#include <windows.h>
#include <wininet.h>

#include <mutex>
#include <utility>
#include <vector>

// The stop switch of one worker's requests. The clients a worker makes with it hand it their open
// handles; Abort, from any thread, closes them, which makes a WinINet call blocked on them return
// with a failure at once, and refuses every request opened after it until Reset. The handles it
// closed are never closed again by their client.
class CHttpAbort {
  public:
    CHttpAbort() = default;
    CHttpAbort(const CHttpAbort&) = delete;
    CHttpAbort& operator=(const CHttpAbort&) = delete;

    void Abort();
    // Before the next run of the worker; nothing may be attached.
    void Reset();
    bool IsAborted() const;

    // For CHttpClient. Takes note of a client's open handles; false (nothing noted) once aborted.
    bool Attach(HINTERNET connection, HINTERNET request);
    // Gives a client's handles back for it to close; false when Abort has already closed them.
    bool Detach(HINTERNET connection);

  private:
    mutable std::mutex m_lock;
    bool m_aborted = false;
    std::vector<std::pair<HINTERNET, HINTERNET>> m_open;
};
