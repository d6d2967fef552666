#pragma once

// The system's file-open dialog with a title and filter from the string table.

#include <windows.h>

#include <optional>
#include <string>

// Asks for an existing file over `owner`. The filter string is in the string table's "Name|*.x|"
// form. Nothing when the user cancels or the dialog fails.
std::optional<std::wstring> AskOpenFile(HWND owner, UINT titleId, UINT filterId);
