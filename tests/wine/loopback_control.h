#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "common/http/internet_handle.h"

// One request as tools/loopback-server recorded it.
struct LoggedRequest {
    std::string method;
    std::string target;
    std::string version;
    std::vector<std::pair<std::string, std::string>> headers;

    // The value of the first header of that name (any case); empty when there is none.
    std::string Header(const std::string& name) const;
    bool HasHeader(const std::string& name) const;
};

// Drives the loopback server that wraps the test run (QP_LOOPBACK_URL) through its control API. It
// talks through its own WinINet root and never through the client under test.
class CLoopbackControl {
  public:
    CLoopbackControl();

    // Empty when the tests run without the server.
    const std::wstring& BaseUrl() const { return m_base; }
    std::wstring Url(const std::wstring& target) const { return m_base + target; }
    // The base URL with another scheme, same host and port.
    std::wstring UrlWithScheme(const std::wstring& scheme, const std::wstring& target) const;

    // Forgets the recorded requests and the answers earlier tests added.
    bool Reset();
    // Adds the answer for `path`; `parameters` are the answer's keys as a query ("status=404&text=x"),
    // already encoded.
    bool SetAnswer(const std::string& path, const std::string& parameters);
    // The requests recorded since the last Reset, oldest first; empty also when the log cannot be read.
    std::vector<LoggedRequest> Requests();

  private:
    bool Get(const std::string& target, std::string& body);

    std::wstring m_base;
    UniqueInternetHandle m_root;
};

// Percent-encodes every byte but unreserved ASCII, for query values.
std::string QueryEncode(const std::string& bytes);
std::string HexOf(const std::string& bytes);
