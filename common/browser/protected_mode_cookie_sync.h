#pragma once

// Copies the cookies the browser keeps for an address in its protected-mode store into this
// process's own store, so an embedded page sees the user's session. One object per hosting window;
// the first failure to reach the browser's functions switches it off for good.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "common/browser/browser_cookie_api.h"

namespace CookieFlags {
constexpr uint32_t ThirdParty = 0x10;   // INTERNET_COOKIE_THIRD_PARTY
constexpr uint32_t EvaluateP3P = 0x40;  // INTERNET_COOKIE_EVALUATE_P3P
constexpr uint32_t HttpOnly = 0x2000;   // INTERNET_COOKIE_HTTPONLY
}  // namespace CookieFlags

class CProtectedModeCookieSync {
  public:
    static constexpr uint32_t kFirstBufferChars = 16384;
    static constexpr uint32_t kLargeBufferChars = 204800;

    explicit CProtectedModeCookieSync(std::unique_ptr<IBrowserCookieApi> api);

    bool IsProtectedModeUrl(const std::wstring& url);
    // Empty on any failure or when the functions are unavailable.
    std::wstring GetProtectedModeCookie(const std::wstring& url, const std::wstring* name, uint32_t flags);
    // Copies the address's cookies once per change of their text. An empty policy counts as none.
    void SyncCookies(const std::wstring& url, const std::optional<std::wstring>& policy);

    bool Available() const { return m_available; }

  private:
    bool EnsureLoaded();

    std::unique_ptr<IBrowserCookieApi> m_api;
    bool m_loadTried = false;
    bool m_available = true;
    std::unordered_map<std::wstring, std::wstring> m_copied;  // URL -> last text copied for it
};
