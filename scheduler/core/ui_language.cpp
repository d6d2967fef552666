#include "scheduler/core/ui_language.h"

#include "scheduler/core/os_version.h"

namespace {

constexpr uint16_t PrimaryLanguage(uint16_t languageId) {
    return languageId & 0x3FF;
}

}  // namespace

UiLanguage UiLanguageFor(std::wstring_view setLang) {
    if (setLang.empty())
        return {LanguageId::UserDefault, L"", L""};
    if (setLang == L"ko")
        return {LanguageId::Korean, L"ko-KR", L"Korean_Korea.949"};
    if (setLang == L"el")
        return {LanguageId::Greek, L"el-GR", L"Greek_Greece.1253"};
    return {LanguageId::English, L"en-US", L"English_United States.1252"};
}

bool HasThreadUiLanguage(uint32_t osVersionClass) {
    return osVersionClass > OsVersionCode::Windows2003;
}

uint16_t StringTableLanguage(uint16_t languageId, uint16_t userDefaultLanguageId) {
    if (languageId == LanguageId::UserDefault)
        languageId = userDefaultLanguageId;
    switch (PrimaryLanguage(languageId)) {
        case PrimaryLanguage(LanguageId::Korean):
            return LanguageId::Korean;
        case PrimaryLanguage(LanguageId::Greek):
            return LanguageId::Greek;
        default:
            return LanguageId::English;
    }
}
