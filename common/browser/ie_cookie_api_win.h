#pragma once

// The browser's protected-mode cookie functions from "ieframe.dll" (found at run time, freed with
// the object) and WinINet's cookie store of this process.

#include <windows.h>

#include <memory>

#include "common/browser/browser_cookie_api.h"
#include "common/platform/unique_resource.h"

class CIeCookieApi : public IBrowserCookieApi {
  public:
    bool Load() override;
    int32_t IsProtectedModeUrl(const std::wstring& url) override;
    ProtectedModeCookieRead GetProtectedModeCookie(const std::wstring& url,
                                                   const std::wstring* name,
                                                   uint32_t flags,
                                                   uint32_t capacity) override;
    void SetCookie(const std::wstring& url,
                   const std::wstring& data,
                   uint32_t flags,
                   const std::wstring* policy) override;

  private:
    using IsProtectedModeUrlFunction = HRESULT(WINAPI*)(LPCWSTR url);
    using GetProtectedModeCookieFunction =
        HRESULT(WINAPI*)(LPCWSTR url, LPCWSTR name, LPWSTR data, DWORD* size, DWORD flags);

    UniqueModule m_ieframe;
    IsProtectedModeUrlFunction m_isProtectedModeUrl = nullptr;
    GetProtectedModeCookieFunction m_getProtectedModeCookie = nullptr;
};

std::unique_ptr<IBrowserCookieApi> CreateIeCookieApi();
