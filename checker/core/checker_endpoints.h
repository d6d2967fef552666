#pragma once

// The checker's two endpoints: the maker's server (the version document and the install report) and
// a fallback server for the version document. Each is a base address (scheme, host, optional port and
// path prefix) to which the endpoint's own path is appended. HKCU\Software\Quillpack\Update "Server"
// and "FallbackServer" override the compiled-in bases.

#include <string>

#include "common/platform/registry.h"

struct CheckerEndpoints {
    std::wstring primary;
    std::wstring fallback;

    bool operator==(const CheckerEndpoints&) const = default;
};

inline constexpr const wchar_t* kPrimaryVersionPath = L"/download/version.php";
inline constexpr const wchar_t* kFallbackVersionPath = L"/codec/version.php";
inline constexpr const wchar_t* kInstallReportPath = L"/log/inst.php";

// `defaults`, with each base that the state key holds as a non-empty REG_SZ in its place.
CheckerEndpoints ReadCheckerEndpoints(IRegistry& registry, const CheckerEndpoints& defaults);
