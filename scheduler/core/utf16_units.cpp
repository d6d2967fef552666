#include "scheduler/core/utf16_units.h"

#include <cstdint>

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Units one character of a wstring takes in UTF-16.
size_t UnitsOf(wchar_t c) {
    if constexpr (sizeof(wchar_t) == 2)
        return 1;
    const uint32_t code = static_cast<uint32_t>(c);
    return code > 0xFFFF && code <= 0x10FFFF ? 2 : 1;
}

}  // namespace

std::u16string ToUtf16Units(std::wstring_view text) {
    std::u16string units;
    units.reserve(text.size());
    for (const wchar_t c : text) {
        const uint32_t code = static_cast<uint32_t>(c);
        if (code <= 0xFFFF) {
            units.push_back(static_cast<char16_t>(code));
        } else if (code <= 0x10FFFF) {
            const uint32_t offset = code - 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(kReplacement));
        }
    }
    return units;
}

std::wstring FromUtf16Units(std::u16string_view units) {
    std::wstring text;
    text.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const uint32_t unit = units[i];
        if constexpr (sizeof(wchar_t) > 2) {
            if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
                const uint32_t low = units[++i];
                text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                continue;
            }
        }
        text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
}

size_t Utf16Length(std::wstring_view text) {
    size_t length = 0;
    for (const wchar_t c : text)
        length += UnitsOf(c);
    return length;
}

std::wstring CutToUtf16Units(std::wstring_view text, size_t maxUnits) {
    size_t used = 0;
    size_t end = 0;
    while (end < text.size() && used + UnitsOf(text[end]) <= maxUnits)
        used += UnitsOf(text[end++]);
    // Where wchar_t is a unit, a high surrogate just before the cut has lost its partner.
    if (end > 0 && end < text.size() && IsHighSurrogate(static_cast<uint32_t>(text[end - 1])) &&
        IsLowSurrogate(static_cast<uint32_t>(text[end])))
        --end;
    return std::wstring(text.substr(0, end));
}
