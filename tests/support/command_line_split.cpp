#include "tests/support/command_line_split.h"

namespace {

bool IsSeparator(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring_view UpToNul(std::wstring_view text) {
    return text.substr(0, text.find(L'\0'));
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
    const std::wstring_view line = UpToNul(commandLine);
    std::wstring name;
    bool inQuotes = false;
    size_t i = 0;
    for (; i < line.size() && (inQuotes || !IsSeparator(line[i])); ++i) {
        if (line[i] == L'"')
            inQuotes = !inQuotes;
        else
            name.push_back(line[i]);
    }

    std::vector<std::wstring> result{std::move(name)};
    for (std::wstring& argument : SplitArguments(line.substr(i)))
        result.push_back(std::move(argument));
    return result;
}

std::vector<std::wstring> SplitArguments(std::wstring_view arguments) {
    const std::wstring_view line = UpToNul(arguments);
    const size_t n = line.size();
    std::vector<std::wstring> result;
    size_t i = 0;
    for (;;) {
        while (i < n && IsSeparator(line[i]))
            ++i;
        if (i == n)
            return result;

        std::wstring argument;
        bool inQuotes = false;
        while (i < n) {
            size_t backslashes = 0;
            while (i < n && line[i] == L'\\') {
                ++backslashes;
                ++i;
            }
            if (i < n && line[i] == L'"') {
                argument.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1) {
                    argument.push_back(L'"');
                } else if (inQuotes && i + 1 < n && line[i + 1] == L'"') {
                    argument.push_back(L'"');
                    ++i;
                } else {
                    inQuotes = !inQuotes;
                }
                ++i;
                continue;
            }
            argument.append(backslashes, L'\\');
            if (i == n || (!inQuotes && IsSeparator(line[i])))
                break;
            argument.push_back(line[i]);
            ++i;
        }
        result.push_back(std::move(argument));
    }
}
