#include "common/path/path.h"

namespace {

constexpr wchar_t kSep = L'\\';

}  // namespace

std::wstring FileNameOfPath(const std::wstring& path) {
    const size_t last = path.rfind(kSep);
    return last == std::wstring::npos ? path : path.substr(last + 1);
}

std::wstring DirectoryOfPath(const std::wstring& path) {
    const size_t last = path.rfind(kSep);
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last);
}

bool AppendPath(std::wstring& base, const wchar_t* name) {
    if (!name)
        return false;
    const std::wstring tail(name);
    if (base.empty()) {
        if (tail.empty() || tail.front() != kSep)
            base.push_back(kSep);
        base += tail;
        return true;
    }
    if (tail.empty())
        return true;
    if (base.back() != kSep)
        base.push_back(kSep);
    base.append(tail, tail.front() == kSep ? 1 : 0, std::wstring::npos);
    return true;
}

std::wstring ParentPath(const std::wstring& path) {
    const size_t last = path.rfind(kSep);
    if (last == std::wstring::npos)
        return std::wstring(1, kSep);
    // The last component begins after the whole run of separators that ends at `last`.
    size_t runStart = last;
    while (runStart > 0 && path[runStart - 1] == kSep)
        --runStart;
    // Also covers a last component at the first or second character.
    if (runStart == 0)
        return std::wstring(1, kSep);
    return path.substr(0, runStart);
}

bool IsDriveRoot(const std::wstring& path) {
    if (path.size() != 3 || path[1] != L':' || path[2] != kSep)
        return false;
    const wchar_t c = path[0];
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

std::wstring HexPaddedWithSpaces(unsigned value) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (digits.size() < 4)
        digits.insert(0, 4 - digits.size(), L' ');
    return digits;
}
