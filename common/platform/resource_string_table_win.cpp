#include "common/platform/resource_string_table_win.h"

#include <span>

#include "common/text/string_block.h"

namespace {

struct LanguageSearch {
    LANGID wanted;
    bool found = false;
};

BOOL CALLBACK MatchLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) noexcept {
    auto* search = reinterpret_cast<LanguageSearch*>(param);
    if (language != search->wanted)
        return TRUE;
    search->found = true;
    return FALSE;
}

BOOL CALLBACK SearchBlock(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) noexcept {
    ::EnumResourceLanguagesW(module, type, name, MatchLanguage, param);
    return reinterpret_cast<LanguageSearch*>(param)->found ? FALSE : TRUE;
}

// FindResourceExW hands back a language-neutral block when the language asked for has none, so
// the exact language is checked first.
bool HasBlockInLanguage(HMODULE module, LPCWSTR name, LANGID language) {
    LanguageSearch search{language};
    ::EnumResourceLanguagesW(module, RT_STRING, name, MatchLanguage, reinterpret_cast<LONG_PTR>(&search));
    return search.found;
}

}  // namespace

CResourceStringTable::CResourceStringTable(HMODULE module, LANGID language)
    : m_module(module ? module : ::GetModuleHandleW(nullptr)), m_language(language) {}

std::wstring CResourceStringTable::Load(uint32_t id) const {
    if (auto text = LoadStringInLanguage(m_module, id, m_language))
        return std::move(*text);
    if (m_language != kFallbackLanguage) {
        if (auto text = LoadStringInLanguage(m_module, id, kFallbackLanguage))
            return std::move(*text);
    }
    return {};
}

std::optional<std::wstring> LoadStringInLanguage(HMODULE module, uint32_t id, LANGID language) {
    if (id > 0xFFFF)
        return std::nullopt;
    if (!module)
        module = ::GetModuleHandleW(nullptr);
    const LPCWSTR name = MAKEINTRESOURCEW(StringBlockName(id));
    if (!HasBlockInLanguage(module, name, language))
        return std::nullopt;
    const HRSRC info = ::FindResourceExW(module, RT_STRING, name, language);
    if (!info)
        return std::nullopt;
    const HGLOBAL handle = ::LoadResource(module, info);
    const auto* bytes = handle ? static_cast<const uint8_t*>(::LockResource(handle)) : nullptr;
    if (!bytes)
        return std::nullopt;
    return ReadStringFromBlock(std::span<const uint8_t>(bytes, ::SizeofResource(module, info)), id);
}

bool ModuleHasLanguage(HMODULE module, LANGID language) {
    if (!module)
        module = ::GetModuleHandleW(nullptr);
    LanguageSearch search{language};
    ::EnumResourceNamesW(module, RT_STRING, SearchBlock, reinterpret_cast<LONG_PTR>(&search));
    return search.found;
}
