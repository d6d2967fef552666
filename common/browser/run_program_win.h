#pragma once

#include <string>

// Starts a command line (program and arguments, as CreateProcessW reads it) with no inherited
// handles, in `directory` (null: the caller's). With `wait`, returns only when the process has
// ended. True when the process was created.
bool RunProgram(const std::wstring& commandLine, bool wait, const wchar_t* directory);

// Starts the program file at a full path, without arguments, otherwise as RunProgram. The path is
// handed over as the program to run and quoted as the command line, so a folder with spaces in its
// name never makes the system try a shorter name ("C:\Program" for "C:\Program Files\...") first.
// A path that a quoted command line cannot carry (a '"' in it, or a closing '\') is refused.
bool RunProgramFile(const std::wstring& programPath, bool wait, const wchar_t* directory);
