#include "common/version/version_text.h"

namespace {

void AppendHex4(std::wstring& out, uint16_t value) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(kDigits[(value >> shift) & 0xF]);
}

}  // namespace

std::wstring FormatVersionQuad(const VersionQuad& v) {
    return std::to_wstring(v.major) + L'.' + std::to_wstring(v.minor) + L'.' + std::to_wstring(v.build) +
           L'.' + std::to_wstring(v.revision);
}

std::wstring StringFileInfoPath(uint16_t language, uint16_t codePage, const std::wstring& valueName) {
    std::wstring path = L"\\StringFileInfo\\";
    AppendHex4(path, language);
    AppendHex4(path, codePage);
    path.push_back(L'\\');
    path += valueName;
    return path;
}
