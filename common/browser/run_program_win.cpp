#include "common/browser/run_program_win.h"

#include <windows.h>

#include <vector>

#include "common/platform/unique_resource.h"

namespace {

bool StartProcess(const wchar_t* program,
                  const std::wstring& commandLine,
                  bool wait,
                  const wchar_t* directory) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                          &info))
        return false;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    if (wait)
        ::WaitForSingleObject(process.Get(), INFINITE);
    return true;
}

}  // namespace

bool RunProgram(const std::wstring& commandLine, bool wait, const wchar_t* directory) {
    return StartProcess(nullptr, commandLine, wait, directory);
}

bool RunProgramFile(const std::wstring& programPath, bool wait, const wchar_t* directory) {
    // The started program splits its own command line: a quote inside the path would end the first
    // argument early, and a backslash before the closing quote would escape it.
    if (programPath.empty() || programPath.find(L'"') != std::wstring::npos || programPath.back() == L'\\')
        return false;
    return StartProcess(programPath.c_str(), L"\"" + programPath + L"\"", wait, directory);
}
