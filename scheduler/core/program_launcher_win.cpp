#include "scheduler/core/program_launcher_win.h"

#include <windows.h>

#include <shellapi.h>

bool CShellProgramLauncher::Start(const std::wstring& file) {
    // The default verb, no arguments, no working directory: the path is all the task stores.
    const HINSTANCE result = ShellExecuteW(nullptr, nullptr, file.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}
