#include "tests/wine/loopback_control.h"

#include <wininet.h>

#include <cctype>
#include <sstream>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace

std::string LoggedRequest::Header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (Lower(key) == Lower(name))
            return value;
    return std::string();
}

bool LoggedRequest::HasHeader(const std::string& name) const {
    for (const auto& header : headers)
        if (Lower(header.first) == Lower(name))
            return true;
    return false;
}

CLoopbackControl::CLoopbackControl()
    : m_root(::InternetOpenW(L"loopback-control", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)) {
    wchar_t base[256];
    const DWORD length = ::GetEnvironmentVariableW(L"QP_LOOPBACK_URL", base, ARRAYSIZE(base));
    if (length > 0 && length < ARRAYSIZE(base))
        m_base.assign(base, length);
}

std::wstring CLoopbackControl::UrlWithScheme(const std::wstring& scheme, const std::wstring& target) const {
    const size_t colon = m_base.find(L':');
    return scheme + m_base.substr(colon) + target;
}

bool CLoopbackControl::Get(const std::string& target, std::string& body) {
    body.clear();
    if (m_base.empty() || !m_root)
        return false;
    UniqueInternetHandle request(::InternetOpenUrlW(m_root.Get(), Url(Widen(target)).c_str(), nullptr, 0,
                                                    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request)
        return false;
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                          nullptr))
        return false;
    char buffer[4096];
    DWORD read = 0;
    while (::InternetReadFile(request.Get(), buffer, sizeof(buffer), &read) && read > 0)
        body.append(buffer, read);
    return status == 200;
}

bool CLoopbackControl::Reset() {
    std::string ignored;
    return Get("/_control/reset?scripts=1", ignored);
}

bool CLoopbackControl::SetAnswer(const std::string& path, const std::string& parameters) {
    std::string ignored;
    return Get("/_control/script?path=" + QueryEncode(path) + "&" + parameters, ignored);
}

std::vector<LoggedRequest> CLoopbackControl::Requests() {
    std::vector<LoggedRequest> requests;
    std::string log;
    if (!Get("/_control/requests", log))
        return requests;
    std::istringstream lines(log);
    std::string line;
    LoggedRequest* current = nullptr;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            current = nullptr;
        } else if (!current) {
            requests.emplace_back();
            current = &requests.back();
            std::istringstream words(line);
            words >> current->method >> current->target >> current->version;
        } else {
            const size_t colon = line.find(':');
            const size_t value = line.find_first_not_of(' ', colon + 1);
            current->headers.emplace_back(line.substr(0, colon),
                                          value == std::string::npos ? std::string() : line.substr(value));
        }
    }
    return requests;
}

std::string QueryEncode(const std::string& bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : bytes) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '_' || c == '.' || c == '~';
        if (unreserved) {
            encoded.push_back(static_cast<char>(c));
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[c >> 4]);
            encoded.push_back(kHex[c & 15]);
        }
    }
    return encoded;
}

std::string HexOf(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex.push_back(kHex[c >> 4]);
        hex.push_back(kHex[c & 15]);
    }
    return hex;
}
