#pragma once

// Addresses that come from an endpoint's answer are untrusted: only web pages are opened or navigated,
// never a file, a share or another protocol handler that would run something.

#include <string_view>

// True for an absolute http: or https: address ("http://" or "https://", in any letter case,
// followed by a host) without control characters or spaces.
bool IsWebAddress(std::wstring_view address);
