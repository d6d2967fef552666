#include "common/text/format.h"

std::wstring FormatArg::Text() const {
    return m_isNumber ? std::to_wstring(m_number) : std::wstring(m_text);
}

std::wstring FormatText(std::wstring_view format, std::initializer_list<FormatArg> args) {
    std::wstring out;
    out.reserve(format.size() + 16);
    auto next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        const wchar_t c = format[i];
        if (c != L'%' || i + 1 == format.size()) {
            out += c;
            continue;
        }
        size_t spec = i + 1;
        if (format[spec] == L'l' && spec + 1 < format.size() && format[spec + 1] == L's')
            ++spec;
        switch (format[spec]) {
            case L'%':
                out += L'%';
                i = spec;
                break;
            case L's':
            case L'd':
            case L'i':
            case L'u':
                if (next != args.end())
                    out += (next++)->Text();
                i = spec;
                break;
            default:
                out += c;
                break;
        }
    }
    return out;
}

std::wstring ReplacePlaceholders(std::wstring_view text, std::wstring_view first, std::wstring_view second) {
    std::wstring out;
    out.reserve(text.size() + first.size() + second.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'$' && i + 1 < text.size() && (text[i + 1] == L'1' || text[i + 1] == L'2')) {
            out += text[i + 1] == L'1' ? first : second;
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}
