#include "common/browser/protected_mode_cookie_sync.h"

#include <utility>

namespace {

constexpr int32_t kOk = 0;
constexpr uint32_t kErrorInsufficientBuffer = 122;

std::wstring_view Trimmed(std::wstring_view piece) {
    while (!piece.empty() && piece.front() == L' ')
        piece.remove_prefix(1);
    while (!piece.empty() && piece.back() == L' ')
        piece.remove_suffix(1);
    return piece;
}

}  // namespace

CProtectedModeCookieSync::CProtectedModeCookieSync(std::unique_ptr<IBrowserCookieApi> api)
    : m_api(std::move(api)) {
    if (!m_api)
        m_available = false;
}

bool CProtectedModeCookieSync::EnsureLoaded() {
    if (!m_loadTried && m_available) {
        m_loadTried = true;
        m_available = m_api->Load();
    }
    return m_available;
}

bool CProtectedModeCookieSync::IsProtectedModeUrl(const std::wstring& url) {
    return EnsureLoaded() && m_api->IsProtectedModeUrl(url) == kOk;
}

std::wstring CProtectedModeCookieSync::GetProtectedModeCookie(const std::wstring& url,
                                                              const std::wstring* name,
                                                              uint32_t flags) {
    if (!EnsureLoaded())
        return {};
    ProtectedModeCookieRead read = m_api->GetProtectedModeCookie(url, name, flags, kFirstBufferChars);
    // The code of an HRESULT made from a Win32 error is its low 16 bits.
    if (read.result < 0 && (static_cast<uint32_t>(read.result) & 0xFFFF) == kErrorInsufficientBuffer)
        read = m_api->GetProtectedModeCookie(url, name, flags, kLargeBufferChars);
    if (read.result < 0)
        return {};
    return std::move(read.text);
}

void CProtectedModeCookieSync::SyncCookies(const std::wstring& url,
                                           const std::optional<std::wstring>& policy) {
    if (!IsProtectedModeUrl(url))
        return;
    const std::wstring* policyText = policy && !policy->empty() ? &*policy : nullptr;
    uint32_t readFlags = CookieFlags::HttpOnly;
    if (policyText)
        readFlags |= CookieFlags::ThirdParty;
    std::wstring text = GetProtectedModeCookie(url, nullptr, readFlags);
    if (text.empty())
        return;
    auto copied = m_copied.find(url);
    if (copied != m_copied.end() && copied->second == text)
        return;

    const uint32_t setFlags = policyText ? CookieFlags::EvaluateP3P | CookieFlags::ThirdParty : 0;
    std::wstring_view rest = text;
    while (true) {
        const size_t end = rest.find(L';');
        const std::wstring_view piece = Trimmed(rest.substr(0, end));
        // "a=1;" or "a=1;;b=2" holds no cookie between the separators; setting an empty one would
        // only be refused.
        if (!piece.empty())
            m_api->SetCookie(url, std::wstring(piece), setFlags, policyText);
        if (end == std::wstring_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    m_copied[url] = std::move(text);
}
