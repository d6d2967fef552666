#pragma once

// Argument lines and what the C runtime makes of them, one case per rule. The native tests hold the
// splitter to these; the Wine tests hold the runtime itself to them.

#include <string>
#include <vector>

struct SplitCase {
    const wchar_t* arguments;
    std::vector<std::wstring> expected;
};

inline const std::vector<SplitCase>& RuntimeSplitCases() {
    static const std::vector<SplitCase> cases = {
        {L"", {}},
        {L" \t  ", {}},
        {L"a b\tc", {L"a", L"b", L"c"}},
        {L"  lead  trail  ", {L"lead", L"trail"}},
        // Only space and tab separate.
        {L"a\nb c\vd\re", {L"a\nb", L"c\vd\re"}},
        {L"\"a b\" c", {L"a b", L"c"}},
        {L"a\"b c\"d e", {L"ab cd", L"e"}},
        {L"\"\" x \"\"", {L"", L"x", L""}},
        {L"\"unterminated group", {L"unterminated group"}},
        // Backslashes are literal except before a double quote.
        {L"a\\b c\\\\d \\", {L"a\\b", L"c\\\\d", L"\\"}},
        {L"\\\"a", {L"\"a"}},
        {L"\\\\\"a b\"", {L"\\a b"}},
        {L"\\\\\\\"a b", {L"\\\"a", L"b"}},
        {L"\\\\\\\\\"a\"", {L"\\\\a"}},
        {L"\"a\\\\\" b", {L"a\\", L"b"}},
        {L"\"a\\\\\\\" b\"", {L"a\\\" b"}},
        {L"\"say \\\"hi\\\"\"", {L"say \"hi\""}},
        // Two quotes inside a group give one and the group goes on (the runtime, not the shell).
        {L"\"a\"\"b c\"", {L"a\"b c"}},
        {L"\"a\"\"b\" c", {L"a\"b", L"c"}},
        {L"\"x\"\"\" y", {L"x\"", L"y"}},
        {L"\"\"\"\"", {L"\""}},
        {L"a\"\"\"b", {L"a\"b"}},
        {L"\"\"\"a b", {L"\"a b"}},
        // No wildcard is expanded.
        {L"*.exe \"*.txt\"", {L"*.exe", L"*.txt"}},
    };
    return cases;
}
