#pragma once

// Where Tivolan asks for the newest version: a primary endpoint and a fallback, each a base address
// (scheme, host, optional port and path) to which the endpoint's own path and query are appended.
// The compiled-in bases are deployment settings; HKCU\Software\Tivolan can override either one for
// staging and tests.

#include <string>
#include <string_view>

#include "common/platform/registry.h"

struct UpdateEndpoints {
    std::wstring primary;
    std::wstring fallback;

    bool operator==(const UpdateEndpoints&) const = default;
};

inline constexpr const wchar_t* kUpdateServerValue = L"UpdateServer";
inline constexpr const wchar_t* kUpdateFallbackServerValue = L"UpdateFallbackServer";

// `base` followed by "/tivolan/version.php?version=..&lang=..&syslang=..". The values go in as they
// are: they come from the program's own version resource and string table and from the system's
// ISO language name, none of which holds a character a query needs escaped. One "/" ending the base
// is dropped, so "http://host/" and "http://host" ask the same.
std::wstring BuildUpdateUrl(std::wstring_view base,
                            std::wstring_view version,
                            std::wstring_view lang,
                            std::wstring_view systemLanguage);

// `defaults`, with each base that the settings key holds as a non-empty REG_SZ in its place.
UpdateEndpoints ReadUpdateEndpoints(IRegistry& registry, const UpdateEndpoints& defaults);
