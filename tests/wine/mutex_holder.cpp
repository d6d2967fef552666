// A program that holds a named mutex and answers nothing: it stands in for a running program that
// does not end when asked to. Run as "mutex_holder.exe NAME"; it creates the mutex, then writes
// "<its own path>.holding" to say so, and ends only once "<its own path>.release" exists.
#include <windows.h>

#include <string>

namespace {

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (__argc < 2 || !__wargv[1] || !*__wargv[1])
        return 2;
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    const std::wstring holding = std::wstring(self) + L".holding";
    const std::wstring release = std::wstring(self) + L".release";
    ::DeleteFileW(release.c_str());

    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, __wargv[1]);
    if (!mutex)
        return 1;
    HANDLE file = ::CreateFileW(holding.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ::CloseHandle(mutex);
        return 1;
    }
    ::CloseHandle(file);

    while (!Exists(release))
        ::Sleep(100);
    ::CloseHandle(mutex);
    ::DeleteFileW(holding.c_str());
    ::DeleteFileW(release.c_str());
    return 0;
}
