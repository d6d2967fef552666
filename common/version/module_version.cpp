#include "common/version/module_version.h"

#include <cwchar>

#include "common/path/file_system.h"

namespace {

constexpr DWORD kFixedSignature = 0xFEEF04BD;

}  // namespace

CModuleVersion::CModuleVersion() {
    Clear();
}

void CModuleVersion::Clear() {
    ZeroMemory(&m_fixed, sizeof(m_fixed));
    m_block.reset();
    m_language = kDefaultLanguage;
    m_codePage = kDefaultCodePage;
}

bool CModuleVersion::Load(const std::wstring& path) {
    Clear();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return false;
    auto block = std::make_unique<BYTE[]>(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.get()))
        return false;

    void* fixed = nullptr;
    UINT fixedSize = 0;
    if (!::VerQueryValueW(block.get(), L"\\", &fixed, &fixedSize) || !fixed || fixedSize < sizeof(m_fixed))
        return false;
    // A record without its signature is no version: nothing of it is kept.
    if (static_cast<const VS_FIXEDFILEINFO*>(fixed)->dwSignature != kFixedSignature)
        return false;
    memcpy(&m_fixed, fixed, sizeof(m_fixed));

    void* translation = nullptr;
    UINT translationSize = 0;
    if (::VerQueryValueW(block.get(), L"\\VarFileInfo\\Translation", &translation, &translationSize) &&
        translation && translationSize >= sizeof(DWORD)) {
        DWORD first;
        memcpy(&first, translation, sizeof(first));
        m_language = LOWORD(first);
        m_codePage = HIWORD(first);
    }
    m_block = std::move(block);
    return true;
}

bool CModuleVersion::LoadModule(const wchar_t* moduleName) {
    HMODULE module = nullptr;
    if (moduleName) {
        module = ::GetModuleHandleW(moduleName);
        if (!module) {
            Clear();
            return false;
        }
    }
    const std::wstring path = GetModuleFilePath(module);
    if (path.empty()) {
        Clear();
        return false;
    }
    return Load(path);
}

std::wstring CModuleVersion::GetValue(const std::wstring& valueName) const {
    if (!m_block)
        return std::wstring();
    const std::wstring subBlock = StringFileInfoPath(m_language, m_codePage, valueName);
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(m_block.get(), subBlock.c_str(), &value, &length) || !value || length == 0)
        return std::wstring();
    const auto* text = static_cast<const wchar_t*>(value);
    return std::wstring(text, wcsnlen(text, length));
}
