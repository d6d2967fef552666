#pragma once

#include "checker/document_getter.h"

// GET over the process-wide internet handle with INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE,
// no extra headers and no body; the body read whole in the checker's way (the thread's ANSI code page).
class CWinInetDocumentGetter : public IDocumentGetter {
  public:
    std::optional<std::wstring> Get(const std::wstring& url) override;
};
