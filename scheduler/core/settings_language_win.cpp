#include <windows.h>

#include <clocale>

#include "scheduler/core/os_version_win.h"
#include "scheduler/core/settings.h"
#include "scheduler/core/ui_language.h"

// Failures are not reported: a language the system cannot set leaves the thread as it was, and the
// strings are loaded in their table language either way.
void CSettings::ApplyLanguage() const {
    const UiLanguage language = UiLanguageFor(setLang);
    ::SetThreadLocale(MAKELCID(language.languageId, SORT_DEFAULT));
    if (HasThreadUiLanguage(GetOsVersionClass()))
        ::SetThreadUILanguage(language.languageId);
    if (!_wsetlocale(LC_ALL, language.crtLocale))
        _wsetlocale(LC_ALL, language.crtLocaleFallback);
}
