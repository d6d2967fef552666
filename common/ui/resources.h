#pragma once

// Resources in a chosen language rather than the thread's: each program carries its dialogs, menus
// and strings in every language it speaks, under the same numbers.

#include <windows.h>

#include <string>

// The resource in `language`; else in English (0x409); else in any language the module has it in.
// Null when the module lacks it altogether.
HRSRC FindResourceInLanguage(HMODULE module, LPCWSTR type, UINT id, LANGID language);

// The dialog template `id`, as stored; null when missing. Valid as long as the module is loaded.
const DLGTEMPLATE* LoadDialogTemplate(HMODULE module, UINT id, LANGID language);

// A new menu built from menu resource `id`; the caller destroys it. Null when missing.
HMENU LoadMenuInLanguage(HMODULE module, UINT id, LANGID language);

// A string of the program's module in the module object's language, English as the fallback.
std::wstring LoadUiString(UINT id);

// The same, in `language` with English as the fallback; empty when neither has it.
std::wstring LoadUiStringIn(UINT id, LANGID language);
