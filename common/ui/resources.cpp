#include "common/ui/resources.h"

#include "common/platform/resource_string_table_win.h"
#include "common/ui/app_module.h"

namespace {

struct AnyLanguageSearch {
    LANGID found = 0;
    bool any = false;
};

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    auto* search = reinterpret_cast<AnyLanguageSearch*>(param);
    search->found = language;
    search->any = true;
    return FALSE;
}

}  // namespace

HRSRC FindResourceInLanguage(HMODULE module, LPCWSTR type, UINT id, LANGID language) {
    LPCWSTR name = MAKEINTRESOURCEW(id);
    if (HRSRC found = ::FindResourceExW(module, type, name, language))
        return found;
    constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    if (language != kEnglish) {
        if (HRSRC found = ::FindResourceExW(module, type, name, kEnglish))
            return found;
    }
    AnyLanguageSearch search;
    ::EnumResourceLanguagesW(module, type, name, &TakeFirstLanguage, reinterpret_cast<LONG_PTR>(&search));
    return search.any ? ::FindResourceExW(module, type, name, search.found) : nullptr;
}

const DLGTEMPLATE* LoadDialogTemplate(HMODULE module, UINT id, LANGID language) {
    HRSRC resource = FindResourceInLanguage(module, RT_DIALOG, id, language);
    if (!resource)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

HMENU LoadMenuInLanguage(HMODULE module, UINT id, LANGID language) {
    HRSRC resource = FindResourceInLanguage(module, RT_MENU, id, language);
    if (!resource)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    return data ? ::LoadMenuIndirectW(data) : nullptr;
}

std::wstring LoadUiString(UINT id) {
    return LoadUiStringIn(id, CAppModule::Instance().ResourceLanguage());
}

std::wstring LoadUiStringIn(UINT id, LANGID language) {
    return CResourceStringTable(CAppModule::Instance().Handle(), language).Load(id);
}
