#pragma once

// Case-insensitive comparison of protocol words (element names, modes, editions): only the ASCII
// letters fold, so the result never depends on the user's locale.

#include <string_view>

inline wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);
