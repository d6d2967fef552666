#include "common/browser/run_program_win.h"

#include <windows.h>

#include <vector>

#include "common/platform/unique_resource.h"

bool RunProgram(const std::wstring& commandLine, bool wait, const wchar_t* directory) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                          &info))
        return false;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    if (wait)
        ::WaitForSingleObject(process.Get(), INFINITE);
    return true;
}
