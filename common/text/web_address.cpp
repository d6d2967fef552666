#include "common/text/web_address.h"

namespace {

bool StartsWithFolded(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

}  // namespace

bool IsWebAddress(std::wstring_view address) {
    size_t hostStart = 0;
    if (StartsWithFolded(address, L"https://"))
        hostStart = 8;
    else if (StartsWithFolded(address, L"http://"))
        hostStart = 7;
    else
        return false;
    // The shell would cut the address at a control character or read a space as the start of
    // arguments; neither belongs in a download address.
    for (wchar_t c : address) {
        if (c <= L' ' || c == 0x7f)
            return false;
    }
    // A host must follow; "http:///x" or "http://" alone names no server.
    return hostStart < address.size() && address[hostStart] != L'/' && address[hostStart] != L'\\' &&
           address[hostStart] != L'?' && address[hostStart] != L'#';
}
