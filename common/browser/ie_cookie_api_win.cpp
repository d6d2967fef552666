#include "common/browser/ie_cookie_api_win.h"

#include <wininet.h>

#include <vector>

bool CIeCookieApi::Load() {
    m_ieframe.Reset(::LoadLibraryW(L"ieframe.dll"));
    if (!m_ieframe)
        return false;
    m_isProtectedModeUrl = reinterpret_cast<IsProtectedModeUrlFunction>(
        reinterpret_cast<void*>(::GetProcAddress(m_ieframe.Get(), "IEIsProtectedModeURL")));
    m_getProtectedModeCookie = reinterpret_cast<GetProtectedModeCookieFunction>(
        reinterpret_cast<void*>(::GetProcAddress(m_ieframe.Get(), "IEGetProtectedModeCookie")));
    return m_isProtectedModeUrl && m_getProtectedModeCookie;
}

int32_t CIeCookieApi::IsProtectedModeUrl(const std::wstring& url) {
    return m_isProtectedModeUrl ? m_isProtectedModeUrl(url.c_str()) : E_NOTIMPL;
}

ProtectedModeCookieRead CIeCookieApi::GetProtectedModeCookie(const std::wstring& url,
                                                             const std::wstring* name,
                                                             uint32_t flags,
                                                             uint32_t capacity) {
    ProtectedModeCookieRead read;
    if (!m_getProtectedModeCookie) {
        read.result = E_NOTIMPL;
        return read;
    }
    std::vector<wchar_t> buffer(capacity + 1, L'\0');
    DWORD size = capacity;
    read.result =
        m_getProtectedModeCookie(url.c_str(), name ? name->c_str() : nullptr, buffer.data(), &size, flags);
    if (SUCCEEDED(read.result))
        read.text.assign(buffer.data());  // the extra element keeps a terminator whatever was written
    return read;
}

void CIeCookieApi::SetCookie(const std::wstring& url,
                             const std::wstring& data,
                             uint32_t flags,
                             const std::wstring* policy) {
    ::InternetSetCookieExW(url.c_str(), nullptr, data.c_str(), flags,
                           reinterpret_cast<DWORD_PTR>(policy ? policy->c_str() : nullptr));
}

std::unique_ptr<IBrowserCookieApi> CreateIeCookieApi() {
    return std::make_unique<CIeCookieApi>();
}
