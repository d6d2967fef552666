#include "scheduler/ui/shortcut_name.h"

#include <array>
#include <string_view>

namespace {

bool IsForbiddenInFileName(wchar_t c) {
    if (c < 0x20)
        return true;
    constexpr std::wstring_view kForbidden = L"<>:\"/\\|?*";
    return kForbidden.find(c) != std::wstring_view::npos;
}

wchar_t AsciiUpper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Windows opens the device for "CON", "con.lnk" and "CON .txt" alike: what counts is the part
// before the first dot, without the spaces at its end.
bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    for (wchar_t& c : stem)
        c = AsciiUpper(c);
    constexpr std::array<std::wstring_view, 4> kPlain = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (std::wstring_view device : kPlain) {
        if (stem == device)
            return true;
    }
    if (stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")))
        return stem[3] >= L'1' && stem[3] <= L'9';
    return false;
}

}  // namespace

std::wstring ShortcutFileName(const std::wstring& name) {
    std::wstring safe = name;
    for (wchar_t& c : safe) {
        if (IsForbiddenInFileName(c))
            c = L'_';
    }
    if (IsDeviceName(safe))
        safe.insert(safe.begin(), L'_');
    return safe;
}
