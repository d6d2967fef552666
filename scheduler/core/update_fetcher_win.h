#pragma once

// The update check's requests over WinINet.

#include "scheduler/core/update_check.h"

class CHttpUpdateFetcher : public IUpdateFetcher {
  public:
    // An answer is a few hundred bytes; a body beyond this is no answer of ours and is refused
    // rather than held in memory.
    static constexpr long kMaxBodyBytes = 1 << 20;

    // A GET that bypasses the cache both ways; the status must be 200 and the body is UTF-8.
    std::optional<std::wstring> Fetch(const std::wstring& url) override;
};
