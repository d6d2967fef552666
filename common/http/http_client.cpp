#include "common/http/http_client.h"

#include <cwchar>
#include <optional>
#include <system_error>

#include "common/http/body_reader.h"
#include "common/http/body_text.h"
#include "common/http/growing_buffer.h"
#include "common/http/http_rules.h"
#include "common/http/internet_root.h"
#include "common/http/internet_timeouts.h"

static_assert(kSchemeHttp == INTERNET_SCHEME_HTTP && kSchemeHttps == INTERNET_SCHEME_HTTPS);
static_assert(kFlagSecure == INTERNET_FLAG_SECURE && kFlagReload == INTERNET_FLAG_RELOAD &&
              kFlagNoCacheWrite == INTERNET_FLAG_NO_CACHE_WRITE);
static_assert(kCodePageThreadAnsi == CP_THREAD_ACP && kCodePageUtf8 == CP_UTF8 && kCodePageUtf7 == CP_UTF7);
static_assert(kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER &&
              kErrorArithmeticOverflow == ERROR_ARITHMETIC_OVERFLOW);

namespace {

class RequestReader : public IByteReader {
  public:
    explicit RequestReader(CHttpClient& client) : m_client(client) {}
    long Read(char* buffer, size_t size) override {
        return m_client.ReadChunk(buffer, static_cast<DWORD>(size));
    }

  private:
    CHttpClient& m_client;
};

std::optional<std::wstring> CanonicalizeUrl(const std::wstring& url) {
    return FillGrowingBuffer<wchar_t>(kMaxUrlChars, [&](wchar_t* buffer, size_t capacity) {
        DWORD length = static_cast<DWORD>(capacity);
        if (::InternetCanonicalizeUrlW(url.c_str(), buffer, &length, ICU_BROWSER_MODE))
            return FillResult{FillResult::Status::kFilled, length};
        if (::GetLastError() == ERROR_INSUFFICIENT_BUFFER)
            // The size reported includes the terminator; one spare character covers an
            // implementation that leaves it out.
            return FillResult{FillResult::Status::kTooSmall, static_cast<size_t>(length) + 1};
        return FillResult{FillResult::Status::kFailed, 0};
    });
}

int ConvertToWide(unsigned codePage,
                  const char* bytes,
                  int length,
                  wchar_t* out,
                  int capacity,
                  unsigned long& error) {
    const int written = ::MultiByteToWideChar(codePage, 0, bytes, length, out, capacity);
    if (written == 0)
        error = ::GetLastError();
    return written;
}

}  // namespace

CHttpClient::CHttpClient(HINTERNET root, CHttpAbort* abort)
    : m_root(root ? root : CInternetRoot::Get()), m_abort(abort) {}

CHttpClient::~CHttpClient() {
    Close();
}

bool CHttpClient::OpenRequest(const wchar_t* verb, const std::wstring& url, DWORD flags) {
    // MinGW has no structured exception handling, so only C++ exceptions (an allocation that fails,
    // say) can be caught here; a fault inside WinINet itself still ends the process.
    try {
        return OpenRequestUnguarded(verb, url, flags);
    } catch (...) {
        Close();
        return false;
    }
}

bool CHttpClient::OpenRequestUnguarded(const wchar_t* verb, const std::wstring& url, DWORD flags) {
    Close();
    if (!m_root || (m_abort && m_abort->IsAborted()))
        return false;
    const std::optional<std::wstring> canonical = CanonicalizeUrl(url);
    if (!canonical)
        return false;

    wchar_t host[kMaxUrlChars];
    wchar_t path[kMaxUrlChars];
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = kMaxUrlChars;
    // No buffer for the extra information, so the query stays part of the path.
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = kMaxUrlChars;
    if (!::InternetCrackUrlW(canonical->c_str(), 0, 0, &parts))
        return false;
    const std::optional<uint32_t> requestFlags = RequestFlagsForScheme(parts.nScheme, flags);
    if (!requestFlags)
        return false;

    UniqueInternetHandle connection(
        ::InternetConnectW(m_root, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return false;
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    UniqueInternetHandle request(::HttpOpenRequestW(connection.Get(), verb, path, L"HTTP/1.1", nullptr,
                                                    acceptTypes, *requestFlags, 0));
    if (!request)
        return false;  // the fresh connection closes with its owner
    // The handles take the root's time-outs, unless the root is someone else's that has none.
    SetInternetTimeouts(connection.Get());
    SetInternetTimeouts(request.Get());
    if (m_abort && !m_abort->Attach(connection.Get(), request.Get()))
        return false;
    m_connection = std::move(connection);
    m_request = std::move(request);
    return true;
}

bool CHttpClient::SendRequest(const wchar_t* headers,
                              long headersLength,
                              const void* body,
                              DWORD bodyLength) {
    // As in OpenRequest, only C++ exceptions can be caught under MinGW.
    try {
        HINTERNET request = LiveRequest();
        if (!request)
            return false;
        DWORD length = 0;
        if (headers)
            length =
                headersLength < 0 ? static_cast<DWORD>(wcslen(headers)) : static_cast<DWORD>(headersLength);
        return ::HttpSendRequestW(request, headers, length, const_cast<void*>(body), bodyLength) != FALSE;
    } catch (...) {
        return false;
    }
}

DWORD CHttpClient::QueryStatusCode() const {
    DWORD status = 0;
    DWORD size = sizeof(status);
    HINTERNET request = LiveRequest();
    if (!request ||
        !::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    return status;
}

DWORD CHttpClient::QueryContentLength() const {
    DWORD length = 0;
    DWORD size = sizeof(length);
    HINTERNET request = LiveRequest();
    if (!request || !::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length,
                                      &size, nullptr))
        return 0;
    return length;
}

long CHttpClient::ReadChunk(void* buffer, DWORD size) {
    DWORD read = 0;
    HINTERNET request = LiveRequest();
    if (!request || !::InternetReadFile(request, buffer, size, &read))
        return -1;
    return static_cast<long>(read);
}

std::wstring CHttpClient::ReadAll(long maxBytes) {
    RequestReader reader(*this);
    // All bytes first and one conversion after: a double-byte character split between two reads
    // would otherwise be decoded as two broken halves.
    const BodyBytes body = ReadBody(reader, kCheckerReadBuffer, kCheckerReadSize, maxBytes);
    try {
        return DecodeBodyText(body.bytes, kCodePageThreadAnsi, ConvertToWide);
    } catch (const std::system_error&) {
        return std::wstring();
    }
}

std::wstring CHttpClient::ReadAll(long maxBytes, UINT codePage) {
    RequestReader reader(*this);
    const BodyBytes body = ReadBody(reader, kSchedulerReadBuffer, kSchedulerReadSize, maxBytes);
    return DecodeBodyText(body.bytes, codePage, ConvertToWide);
}

HINTERNET CHttpClient::LiveRequest() const {
    if (m_abort && m_abort->IsAborted())
        return nullptr;
    return m_request.Get();
}

void CHttpClient::Close() {
    if (m_abort && m_connection && !m_abort->Detach(m_connection.Get())) {
        // The abort has closed both; their values may already name someone else's handles.
        m_request.Release();
        m_connection.Release();
        return;
    }
    m_request.Reset();
    m_connection.Reset();
}
