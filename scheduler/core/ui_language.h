#pragma once

// The user-interface language of Tivolan. SetLang picks it once at start; string tables, dialogs
// and menus exist in English, Korean and Greek.

#include <cstdint>
#include <string_view>

namespace LanguageId {
constexpr uint16_t UserDefault = 0x400;  // LANG_USER_DEFAULT
constexpr uint16_t Greek = 0x408;
constexpr uint16_t English = 0x409;
constexpr uint16_t Korean = 0x412;
}  // namespace LanguageId

struct UiLanguage {
    uint16_t languageId;       // for the thread locale and the thread UI language
    const wchar_t* crtLocale;  // for the C runtime, all categories; "" is the system default
    // The same locale in the "Language_Country.CodePage" form, for a runtime that predates locale
    // names such as "ko-KR" (the system msvcrt.dll that MinGW links against is one).
    const wchar_t* crtLocaleFallback;
};

// "ko" and "el" (exact, case-sensitive) give Korean and Greek, an empty text the user's default,
// anything else English.
UiLanguage UiLanguageFor(std::wstring_view setLang);

// Thread UI languages exist from Windows Vista on (codes above Windows Server 2003).
bool HasThreadUiLanguage(uint32_t osVersionClass);

// The table language that strings are loaded in for a language identifier: the user's default
// (0x400) stands for userDefaultLanguageId; a language is matched by its primary language, so any
// Korean or Greek variant finds its table; every other language gets English.
uint16_t StringTableLanguage(uint16_t languageId, uint16_t userDefaultLanguageId);
