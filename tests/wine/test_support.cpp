#include "tests/wine/test_support.h"

#include <atomic>
#include <vector>

namespace {

std::atomic<unsigned> g_scratchCount{0};

bool RunHostCommand(const std::wstring& program, const std::wstring& arguments) {
    std::wstring commandLine = program + L" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 30000);  // returns early for host programs under Wine
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The host file name of a path, from Wine's own export; empty outside Wine.
std::wstring HostPathOf(const std::wstring& path) {
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::wstring();
    char* unixName = toUnix(path.c_str());
    if (!unixName)
        return std::wstring();
    std::wstring host;
    for (const char* p = unixName; *p; ++p)
        host.push_back(static_cast<unsigned char>(*p));  // our test paths are ASCII
    HeapFree(GetProcessHeap(), 0, unixName);
    return host;
}

// Wine does not see a host program end, so its effect is polled for instead.
template <typename Predicate>
bool WaitUntil(Predicate done) {
    for (int i = 0; i < 500; ++i) {
        if (done())
            return true;
        Sleep(10);
    }
    return done();
}

// Removes what the tests made, following nothing: the tree may hold links to elsewhere.
void RemoveTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name != L"." && name != L"..")
                    RemoveTree(path + L"\\" + name);
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
    }
    RemoveDirectoryW(path.c_str());
}

// Wine can neither remove a host link nor see one whose target is gone, so under Wine the host
// removes the scratch tree (rm does not follow links either).
void RemoveScratch(const std::wstring& path) {
    const std::wstring host = HostPathOf(path);
    if (host.empty()) {
        RemoveTree(path);
        return;
    }
    RunHostCommand(L"Z:\\bin\\rm", L"-rf \"" + host + L"\"");
    WaitUntil([&] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

}  // namespace

CScratchDirectory::CScratchDirectory() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // Wine hands out the same process ids run after run, so the clock makes the name unique.
    m_path = std::wstring(temp) + L"qp-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++g_scratchCount);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

CScratchDirectory::~CScratchDirectory() {
    RemoveScratch(m_path);
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteTextFile(const std::wstring& path, const char* text) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    CloseHandle(file);
    return ok != FALSE;
}

bool MakeDirectoryLink(const std::wstring& link, const std::wstring& target) {
    const DWORD kAllowUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    auto isLink = [&] {
        const DWORD attributes = GetFileAttributesW(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    };
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY | kAllowUnprivileged) &&
        isLink())
        return true;
    const std::wstring hostLink = HostPathOf(link);
    const std::wstring hostTarget = HostPathOf(target);
    if (hostLink.empty() || hostTarget.empty())
        return false;
    RunHostCommand(L"Z:\\bin\\ln", L"-s \"" + hostTarget + L"\" \"" + hostLink + L"\"");
    return WaitUntil(isLink);
}

bool SwapForDirectoryLink(const std::wstring& folder, const std::wstring& movedTo, const std::wstring& target) {
    const std::wstring hostFolder = HostPathOf(folder), hostMovedTo = HostPathOf(movedTo);
    // The host moves it whatever handles Wine holds on it, as another program could on Windows where
    // nothing holds it.
    if (!hostFolder.empty() && !hostMovedTo.empty())
        RunHostCommand(L"Z:\\bin\\mv", L"\"" + hostFolder + L"\" \"" + hostMovedTo + L"\"");
    else if (!MoveFileW(folder.c_str(), movedTo.c_str()))
        return false;
    return WaitUntil([&] { return PathExists(movedTo); }) && MakeDirectoryLink(folder, target);
}
