#include "scheduler/core/ui_language_win.h"

#include "scheduler/core/ui_language.h"

LANGID StringTableLanguageFor(std::wstring_view setLang) {
    return StringTableLanguage(UiLanguageFor(setLang).languageId, ::GetUserDefaultLangID());
}
