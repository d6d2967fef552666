// A program that records how it was started in a file beside itself ("<its own path>.started": the
// command line, a line feed, then the current directory, in UTF-16) and ends. It stands in for every
// program the checker starts: the partner's notification program, and the downloaded installer (served
// under the installer's name). The file appears whole, so a test that polls for it never reads half
// of it.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    wchar_t directory[MAX_PATH];
    const DWORD directoryLength = ::GetCurrentDirectoryW(MAX_PATH, directory);
    if (directoryLength == 0 || directoryLength >= MAX_PATH)
        return 1;

    const std::wstring record = std::wstring(::GetCommandLineW()) + L"\n" + directory;
    const std::wstring marker = std::wstring(self) + L".started";
    const std::wstring partial = marker + L".partial";
    HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const DWORD bytes = static_cast<DWORD>(record.size() * sizeof(wchar_t));
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, record.data(), bytes, &written, nullptr);
    ::CloseHandle(file);
    if (!ok || written != bytes)
        return 1;
    return ::MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
