#include "checker/core/document_getter_win.h"

#include "common/http/http_client.h"

namespace {

// The answers are a few kilobytes; a body past this is no document of ours, and reading on would
// only let a broken or hostile server fill the memory. The cut body then fails to parse.
constexpr long kMaxDocumentBytes = 4 * 1024 * 1024;

}  // namespace

std::optional<std::wstring> CWinInetDocumentGetter::Get(const std::wstring& url) {
    CHttpClient client(nullptr, m_abort);
    if (!client.OpenRequest(L"GET", url, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE))
        return std::nullopt;
    if (!client.SendRequest() || client.QueryStatusCode() != HTTP_STATUS_OK)
        return std::nullopt;
    return client.ReadAll(kMaxDocumentBytes);
}
