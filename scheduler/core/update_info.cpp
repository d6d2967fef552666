#include "scheduler/core/update_info.h"

#include "scheduler/core/update_version_compare.h"

namespace {

bool EqualsIgnoringAsciiCase(std::wstring_view text, std::wstring_view lowerCase) {
    if (text.size() != lowerCase.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != lowerCase[i])
            return false;
    }
    return true;
}

}  // namespace

bool ShouldNotify(const UpdateInfo& info, std::wstring_view version, bool force) {
    if (!force && EqualsIgnoringAsciiCase(info.mode, L"skip"))
        return false;
    const int order = CompareVersions(info.current, version);
    if (EqualsIgnoringAsciiCase(info.mode, L"exact"))
        return order != 0;
    return order > 0;
}

bool IsRestricted(const UpdateInfo& info, std::wstring_view version) {
    return !info.restricted.empty() && CompareVersions(info.restricted, version) >= 0;
}
