#pragma once

#include <windows.h>

#include <string_view>

// The table language that Tivolan's strings, dialogs and menus are loaded in for a SetLang value;
// an empty SetLang follows the user's default language (GetUserDefaultLangID), the language the
// tray menu's "system default" notice is shown in.
LANGID StringTableLanguageFor(std::wstring_view setLang);
