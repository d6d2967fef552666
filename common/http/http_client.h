#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

#include "common/http/http_abort.h"
#include "common/http/internet_handle.h"

// One HTTP request over WinINet, synchronous: open, send, check the status, read, close. A client
// belongs to the thread that made it. After Close (or a failed OpenRequest) it can be opened again.
// Its handles wait at most kInternetTimeoutMilliseconds to connect, to send and for each read.
class CHttpClient {
  public:
    // With no root the process-wide one is used, opened with the default agent if need be. With an
    // abort (which must outlive the client), another thread can end the request at any point: every
    // call then fails, and no request is opened until the abort is reset.
    explicit CHttpClient(HINTERNET root = nullptr, CHttpAbort* abort = nullptr);
    ~CHttpClient();
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    // Splits `url`, connects to its host and port and opens a request for its path and query. Only
    // http and https are accepted (https adds INTERNET_FLAG_SECURE to `flags`); any other scheme fails
    // before any traffic. A request that is still open is closed first.
    bool OpenRequest(const wchar_t* verb, const std::wstring& url, DWORD flags);
    // A `headersLength` of -1 means the headers are a terminated string to be measured.
    bool SendRequest(const wchar_t* headers = nullptr,
                     long headersLength = 0,
                     const void* body = nullptr,
                     DWORD bodyLength = 0);

    // 0 when the status cannot be read.
    DWORD QueryStatusCode() const;
    // What the server announced, right or wrong; 0 when it announced nothing or it cannot be read.
    DWORD QueryContentLength() const;

    // One read of at most `size` bytes: the count read, 0 at the end of the body, -1 on failure.
    long ReadChunk(void* buffer, DWORD size);

    // The checker's read: the whole body (or, with a positive `maxBytes`, whole reads until that many
    // bytes arrived) decoded from the thread's ANSI code page. A failed read ends the body early with
    // what came before it. A body that cannot be decoded gives an empty text.
    std::wstring ReadAll(long maxBytes);
    // The scheduler's read: as above but in larger reads, decoded from `codePage` when that is UTF-8
    // or UTF-7 and from the thread's ANSI code page otherwise.
    // Throws std::system_error (the system's error code) when the conversion fails.
    std::wstring ReadAll(long maxBytes, UINT codePage);

    // Closes the request and then the connection; both handles are empty afterwards.
    void Close();

    HINTERNET Root() const { return m_root; }
    HINTERNET ConnectionHandle() const { return m_connection.Get(); }
    HINTERNET RequestHandle() const { return m_request.Get(); }

  private:
    bool OpenRequestUnguarded(const wchar_t* verb, const std::wstring& url, DWORD flags);
    // The request handle, or null once the abort has closed it.
    HINTERNET LiveRequest() const;

    HINTERNET m_root;
    CHttpAbort* m_abort;
    UniqueInternetHandle m_connection;
    UniqueInternetHandle m_request;
};
