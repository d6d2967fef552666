#pragma once

#include <string>

// Starts the program file at a full path, without arguments and with no inherited handles, in
// `directory` (null: the caller's), and returns without waiting for it; true when the process was
// created. The path is handed over as the program to run and quoted as the command line, so a folder
// with spaces in its name never makes the system try a shorter name ("C:\Program" for
// "C:\Program Files\...") first. A path that a quoted command line cannot carry (a '"' in it, or a
// closing '\') is refused.
bool RunProgramFile(const std::wstring& programPath, const wchar_t* directory);
