#pragma once

// Texts that a command line makes hard to carry: quotes, backslashes before quotes and at the end,
// separators at either end, nothing but separators, and letters outside ASCII (Korean, Greek, and
// one beyond the Basic Multilingual Plane, a surrogate pair on Windows).

#include <string>
#include <vector>

inline const std::vector<std::wstring>& AwkwardTexts() {
    static const std::vector<std::wstring> texts = {
        L"plain",
        L"a\\b",
        L"C:\\Tools\\x.exe",
        L"C:\\Program Files\\Tivolan\\",
        L"\\\\server\\share\\dir\\\\",
        L"\\",
        L"\\\\",
        L"\"",
        L"\"\"",
        L"\"\"\"",
        L"\\\"",
        L"\\\\\"",
        L"a\\\\\\\"b\\",
        L"\"\\\"\\\\\"\\\\\\",
        L"Time to \"go\" now",
        L"say \"\" twice",
        L"end with a quote\"",
        L" ",
        L"\t",
        L"   \t ",
        L"  spaces around  ",
        L"tab\there",
        L"line\nbreak\r\n",
        L"/A /M 3 /T 1 2 3",
        L"%s %d %% $1",
        L"\uC2DC\uC2A4\uD15C \uC885\uB8CC \"\uC54C\uB78C\"",
        L"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1 \\ \u03BA\u03CC\u03C3\u03BC\u03B5\\",
        L"\U0001F600 \\\"",
    };
    return texts;
}
