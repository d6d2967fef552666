#include "common/browser/browser_user_agent.h"

#include <cstdint>
#include <cwchar>

namespace {

bool IsControl(wchar_t c) {
    return c < L' ' || (c >= 0x7f && c <= 0x9f);
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Where wchar_t is 32 bits a character beyond the basic plane is a pair in UTF-16.
size_t Utf16UnitsOf([[maybe_unused]] wchar_t c) {
#if WCHAR_MAX > 0xFFFF
    return static_cast<uint32_t>(c) > 0xFFFF ? 2 : 1;
#else
    return 1;
#endif
}

}  // namespace

std::wstring CleanUserAgent(std::wstring_view agent) {
    std::wstring clean;
    size_t units = 0;
    for (size_t i = 0; i < agent.size(); ++i) {
        const wchar_t c = agent[i];
        if (IsControl(c))
            continue;
        // A pair (where wchar_t is a UTF-16 unit) is kept or left out whole.
        const bool pair = IsHighSurrogate(c) && i + 1 < agent.size() && IsLowSurrogate(agent[i + 1]);
        const size_t size = pair ? 2 : Utf16UnitsOf(c);
        if (units + size > kMaxUserAgentUnits)
            break;
        clean.push_back(c);
        if (pair)
            clean.push_back(agent[++i]);
        units += size;
    }
    return clean;
}
