#pragma once

#include <string>

// Starts a command line (program and arguments, as CreateProcessW reads it) with no inherited
// handles, in `directory` (null: the caller's). With `wait`, returns only when the process has
// ended. True when the process was created.
bool RunProgram(const std::wstring& commandLine, bool wait, const wchar_t* directory);
