#pragma once

// The update check's requests over WinINet.

#include "common/http/http_abort.h"
#include "scheduler/core/update_check.h"

class CHttpUpdateFetcher : public IUpdateFetcher {
  public:
    // With an abort (which must outlive the fetcher), another thread can end a fetch in progress.
    explicit CHttpUpdateFetcher(CHttpAbort* abort = nullptr) : m_abort(abort) {}

    // An answer is a few hundred bytes; a body beyond this is no answer of ours and is refused
    // rather than held in memory.
    static constexpr long kMaxBodyBytes = 1 << 20;

    // A GET that bypasses the cache both ways; the status must be 200 and the body is UTF-8.
    std::optional<std::wstring> Fetch(const std::wstring& url) override;

  private:
    CHttpAbort* m_abort;
};
