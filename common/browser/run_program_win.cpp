#include "common/browser/run_program_win.h"

#include <windows.h>

#include <vector>

#include "common/platform/unique_resource.h"

bool RunProgramFile(const std::wstring& programPath, const wchar_t* directory) {
    // The started program splits its own command line: a quote inside the path would end the first
    // argument early, and a backslash before the closing quote would escape it.
    if (programPath.empty() || programPath.find(L'"') != std::wstring::npos || programPath.back() == L'\\')
        return false;
    const std::wstring commandLine = L"\"" + programPath + L"\"";
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(programPath.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory, &startup, &info))
        return false;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    return true;
}
