#include "scheduler/core/update_fetcher_win.h"

#include <windows.h>
#include <wininet.h>

#include <exception>

#include "common/http/http_client.h"

std::optional<std::wstring> CHttpUpdateFetcher::Fetch(const std::wstring& url) {
    try {
        CHttpClient client(nullptr, m_abort);
        if (!client.OpenRequest(L"GET", url, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE) ||
            !client.SendRequest() || client.QueryStatusCode() != HTTP_STATUS_OK)
            return std::nullopt;
        std::wstring body = client.ReadAll(kMaxBodyBytes, CP_UTF8);
        // Anything still to read means the body ran past the limit: a cut answer could still parse.
        char probe = 0;
        if (client.ReadChunk(&probe, 1) != 0)
            return std::nullopt;
        return body;
    } catch (const std::exception&) {
        // An undecodable body is a failed request like any other.
        return std::nullopt;
    }
}
