#pragma once

#include "checker/core/document_getter.h"
#include "common/http/http_abort.h"

// GET over the process-wide internet handle with INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE,
// no extra headers and no body; the body read whole in the checker's way (the thread's ANSI code page).
class CWinInetDocumentGetter : public IDocumentGetter {
  public:
    // With an abort (which must outlive the getter), another thread can end a request in progress.
    explicit CWinInetDocumentGetter(CHttpAbort* abort = nullptr) : m_abort(abort) {}

    std::optional<std::wstring> Get(const std::wstring& url) override;

  private:
    CHttpAbort* m_abort;
};
