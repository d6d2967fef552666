#include "common/path/file_system.h"

#include <vector>

#include "common/path/path.h"
#include "common/path/unique_name.h"
#include "common/platform/unique_resource.h"
#include "common/random/process_random.h"

namespace {

constexpr DWORD kPathBuffer = MAX_PATH;  // 260, as the paths have always been read

std::wstring ReadModulePath(HMODULE module) {
    wchar_t buffer[kPathBuffer];
    const DWORD length = ::GetModuleFileNameW(module, buffer, kPathBuffer);
    // A result of the whole buffer means the path was cut short.
    if (length == 0 || length >= kPathBuffer)
        return std::wstring();
    return std::wstring(buffer, length);
}

enum class PathState { Missing, Directory, File, Unknown };

PathState StateOf(const std::wstring& path, DWORD* attributesOut = nullptr) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributesOut)
        *attributesOut = attributes;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathState::Missing
                                                                              : PathState::Unknown;
    }
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathState::Directory : PathState::File;
}

bool IsLink(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

}  // namespace

std::wstring GetModuleFilePath(HMODULE module) {
    if (module)
        return ReadModulePath(module);
    static const std::wstring self = ReadModulePath(nullptr);
    return self;
}

std::wstring GetModuleDirectory(HMODULE module) {
    return DirectoryOfPath(GetModuleFilePath(module));
}

std::wstring GetTempDirectory() {
    std::vector<wchar_t> buffer(kPathBuffer);
    DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length > buffer.size()) {
        // The reported size includes the terminating null.
        buffer.resize(length);
        length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (length == 0 || length >= buffer.size())
        return std::wstring();
    return std::wstring(buffer.data(), length);
}

bool CreateDirectoryTree(const std::wstring& path) {
    if (path == L"\\" || IsDriveRoot(path) || StateOf(path) == PathState::Directory)
        return true;
    if (path.empty())
        return false;
    const std::wstring parent = ParentPath(path);
    if (parent.empty() || !CreateDirectoryTree(parent))
        return false;
    if (::CreateDirectoryW(path.c_str(), nullptr))
        return true;
    // Another process may have made it meanwhile; what counts is that it is there now.
    return ::GetLastError() == ERROR_ALREADY_EXISTS && StateOf(path) == PathState::Directory;
}

bool DeleteDirectoryTree(const std::wstring& path) {
    DWORD attributes = 0;
    switch (StateOf(path, &attributes)) {
        case PathState::Missing:
            return true;
        case PathState::File:
        case PathState::Unknown:
            return false;
        case PathState::Directory:
            break;
    }
    if (IsLink(attributes))
        return ::RemoveDirectoryW(path.c_str()) != FALSE;

    std::wstring pattern = path;
    AppendPath(pattern, L"*");
    WIN32_FIND_DATAW entry;
    UniqueFindHandle find(::FindFirstFileW(pattern.c_str(), &entry));
    if (find) {
        do {
            if (IsDotEntry(entry.cFileName))
                continue;
            std::wstring child = path;
            AppendPath(child, entry.cFileName);
            bool removed;
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                removed = ::DeleteFileW(child.c_str()) != FALSE;
            else if (IsLink(entry.dwFileAttributes))
                removed = ::RemoveDirectoryW(child.c_str()) != FALSE;  // the link, not its target
            else
                removed = DeleteDirectoryTree(child);
            if (!removed)
                return false;
        } while (::FindNextFileW(find.Get(), &entry));
    }
    find.Reset();
    return ::RemoveDirectoryW(path.c_str()) != FALSE;
}

std::wstring MakeUniqueTempName(const std::wstring& prefix, bool inTempDirectory) {
    return MakeUniqueTempName(prefix, inTempDirectory, [] { return ProcessRandomBelow(0x10000); });
}

std::wstring MakeUniqueTempName(const std::wstring& prefix,
                                bool inTempDirectory,
                                const std::function<unsigned()>& draw) {
    std::wstring base = prefix;
    if (inTempDirectory) {
        // Without the temporary directory the name would land in the root of the current drive.
        base = GetTempDirectory();
        if (base.empty())
            return std::wstring();
        AppendPath(base, prefix.c_str());
    }
    return MakeUniqueName(base, draw,
                          [](const std::wstring& name) { return StateOf(name) == PathState::Missing; });
}
