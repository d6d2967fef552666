#pragma once

// Endpoint bases are deployment settings compiled into each program; a REG_SZ under the program's
// own HKEY_CURRENT_USER key can replace one for staging and tests.

#include <string>
#include <string_view>

#include "common/platform/registry.h"

// The non-empty text of `valueName` under HKEY_CURRENT_USER\`keyPath`, or `compiledBase` when the key
// or the value is missing, empty or not a string.
std::wstring ReadEndpointOverride(IRegistry& registry,
                                  std::wstring_view keyPath,
                                  std::wstring_view valueName,
                                  std::wstring compiledBase);

// `base` followed by `path`; one "/" ending the base is dropped, so "http://host/" and "http://host"
// give the same address.
std::wstring EndpointAddress(std::wstring_view base, std::wstring_view path);
