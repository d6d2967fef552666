#pragma once

// Which downloaded files the checker starts: only installers (.exe and .msi) whose Authenticode
// signer is one of the trusted publishers. The publishers are compiled in and may be replaced by a
// REG_MULTI_SZ "TrustedPublishers" in the checker's state key, as the endpoints are.

#include <string>
#include <string_view>
#include <vector>

#include "common/platform/registry.h"

inline constexpr const wchar_t* kTrustedPublishersValue = L"TrustedPublishers";

// True for a file name ending in ".exe" or ".msi", in any letter case.
bool IsLaunchableInstallerName(std::wstring_view fileName);

// The names of a REG_MULTI_SZ's data: UTF-16 strings each ended by a null, the list by an empty one.
// Empty names are dropped; a last name without its null still counts; half a unit at the end is not.
std::vector<std::wstring> MultiStringNames(const std::vector<uint8_t>& data);

// `compiled`, or the non-empty names of the state key's TrustedPublishers when it is a REG_MULTI_SZ
// holding at least one. A value of another type, or one with no name in it, changes nothing.
std::vector<std::wstring> ReadTrustedPublishers(IRegistry& registry, const std::vector<std::wstring>& compiled);

// True when `signer` is one of `publishers`, exactly as written (a certificate's subject name is no
// protocol word to fold); an empty signer never is.
bool IsTrustedPublisher(std::wstring_view signer, const std::vector<std::wstring>& publishers);
