#include "checker/core/download_file_name.h"

#include <array>

#include "common/text/ascii_case.h"

namespace {

bool IsForbiddenCharacter(wchar_t c) {
    if (c < 0x20 || c == 0x7F)
        return true;
    switch (c) {
        case L'\\':
        case L'/':
        case L':':
        case L'*':
        case L'?':
        case L'"':
        case L'<':
        case L'>':
        case L'|':
            return true;
        default:
            return false;
    }
}

// Port numbers the system takes as a device: 1 to 9, and the superscript one, two and three that
// newer versions of Windows also read as the ports 1 to 3.
bool IsPortDigit(wchar_t c) {
    return (c >= L'1' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3';
}

// The system opens these devices whatever folder the name is joined to, also with an extension
// ("nul.exe") and with blanks before it.
bool IsDeviceName(std::wstring_view name) {
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.remove_suffix(1);
    static constexpr std::array<std::wstring_view, 6> kPlain = {L"con", L"prn",    L"aux",
                                                                L"nul", L"conin$", L"conout$"};
    for (std::wstring_view device : kPlain) {
        if (EqualsIgnoringAsciiCase(stem, device))
            return true;
    }
    if (stem.size() == 4 && IsPortDigit(stem[3])) {
        const std::wstring_view port = stem.substr(0, 3);
        return EqualsIgnoringAsciiCase(port, L"com") || EqualsIgnoringAsciiCase(port, L"lpt");
    }
    return false;
}

}  // namespace

std::optional<std::wstring> DownloadFileName(std::wstring_view url) {
    const size_t slash = url.rfind(L'/');
    const std::wstring_view name = slash == std::wstring_view::npos ? url : url.substr(slash + 1);
    if (name.empty() || name == L"." || name == L"..")
        return std::nullopt;
    for (wchar_t c : name) {
        if (IsForbiddenCharacter(c))
            return std::nullopt;
    }
    // The system drops trailing dots and blanks when it makes the file, so the installer would be
    // written under one name and started under another.
    if (name.back() == L'.' || name.back() == L' ')
        return std::nullopt;
    if (IsDeviceName(name))
        return std::nullopt;
    return std::wstring(name);
}

std::wstring DownloadFilePath(const std::wstring& folder, std::wstring_view url) {
    const std::optional<std::wstring> name = DownloadFileName(url);
    if (folder.empty() || !name)
        return std::wstring();
    return folder + L"\\" + *name;
}
