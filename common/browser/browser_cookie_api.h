#pragma once

// The platform calls behind CProtectedModeCookieSync: the browser's protected-mode cookie functions
// (found at run time, since systems without protected mode lack them) and the process's own
// internet cookie store. Result codes are HRESULTs.

#include <cstdint>
#include <string>

struct ProtectedModeCookieRead {
    int32_t result = 0;  // negative: failed
    std::wstring text;   // up to the first NUL of the buffer, when it succeeded
};

class IBrowserCookieApi {
  public:
    virtual ~IBrowserCookieApi() = default;
    // Loads the browser module and finds both protected-mode functions; false when any is missing.
    // Asked at most once.
    virtual bool Load() = 0;
    virtual int32_t IsProtectedModeUrl(const std::wstring& url) = 0;
    // Reads with a buffer of `capacity` characters. `name` null: every cookie of the address.
    virtual ProtectedModeCookieRead GetProtectedModeCookie(const std::wstring& url,
                                                           const std::wstring* name,
                                                           uint32_t flags,
                                                           uint32_t capacity) = 0;
    // Sets one cookie in the process's own store. `policy` null: no privacy header.
    virtual void SetCookie(const std::wstring& url,
                           const std::wstring& data,
                           uint32_t flags,
                           const std::wstring* policy) = 0;
};
