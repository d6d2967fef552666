#include "common/browser/browser_navigation.h"

#include "common/text/ascii_case.h"
#include "common/text/web_address.h"

namespace {

bool IsControl(wchar_t c) {
    return c < L' ' || (c >= 0x7f && c <= 0x9f);
}

}  // namespace

bool MayNavigateInPlace(std::wstring_view address) {
    const size_t colon = address.find(L':');
    if (colon == std::wstring_view::npos)
        return false;
    const std::wstring_view scheme = address.substr(0, colon);
    if (!EqualsIgnoringAsciiCase(scheme, L"http") && !EqualsIgnoringAsciiCase(scheme, L"https"))
        return false;
    for (wchar_t c : address) {
        if (IsControl(c))
            return false;
    }
    return true;
}

NewWindowAction NewWindowActionFor(std::wstring_view address) {
    return IsWebAddress(address) ? NewWindowAction::OpenInUserBrowser : NewWindowAction::Drop;
}
