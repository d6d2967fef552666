#pragma once

// Path text helpers on Windows-style paths (backslash separators). Pure string work: nothing here
// touches the file system, so the rules are the same in every build.

#include <string>

// The text after the last backslash, or the whole text when there is none.
std::wstring FileNameOfPath(const std::wstring& path);

// The text up to, not including, the last backslash; empty when there is no backslash.
std::wstring DirectoryOfPath(const std::wstring& path);

// Appends name to base with exactly one backslash between them. A null name is the only failure.
bool AppendPath(std::wstring& base, const wchar_t* name);

// The path without its last component and the backslashes before it ("C:\a\b" -> "C:\a",
// "C:\a" -> "C:"). A single component, or one that starts at the first or second character, gives "\".
std::wstring ParentPath(const std::wstring& path);

// "X:\" for any letter X.
bool IsDriveRoot(const std::wstring& path);

// The value in upper-case hexadecimal, right-aligned in four characters and padded with spaces
// (as the "%4X" format does); values above 0xFFFF give more digits.
std::wstring HexPaddedWithSpaces(unsigned value);
