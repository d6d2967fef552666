#include "common/path/file_system.h"

#include <optional>
#include <string_view>
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

bool IsDotEntry(std::wstring_view name) {
    return name == L"." || name == L"..";
}

// The normalised path of an open file or folder, as the system names it ("\\?\C:\...").
std::wstring FinalPathOf(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
    return std::wstring();
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return !a.empty() &&
           ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

enum class EntryKind { File, EmptyDirectory, Tree };

struct ListedEntry {
    std::wstring name;
    DWORD attributes;
};

// Every entry of an open folder but "." and "..", read through its handle.
std::optional<std::vector<ListedEntry>> ListFolder(HANDLE folder) {
    std::vector<ListedEntry> entries;
    alignas(LONGLONG) BYTE buffer[16 * 1024];
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    while (::GetFileInformationByHandleEx(folder, kind, buffer, sizeof(buffer))) {
        kind = FileIdBothDirectoryInfo;
        for (size_t at = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + at);
            const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (!IsDotEntry(name))
                entries.push_back({std::wstring(name), entry->FileAttributes});
            if (entry->NextEntryOffset == 0)
                break;
            at += entry->NextEntryOffset;
        }
    }
    if (::GetLastError() != ERROR_NO_MORE_FILES)
        return std::nullopt;
    return entries;
}

bool DeleteEntryAt(const std::wstring& folder,
                   const std::wstring& name,
                   EntryKind kind,
                   const TreeEntryObserver& beforeEntry);

// Deletes what lies below an open folder whose normalised path is `path`.
bool DeleteChildren(HANDLE folder, const std::wstring& path, const TreeEntryObserver& beforeEntry) {
    // Listed first: deleting while the listing runs may make it skip or repeat entries.
    const std::optional<std::vector<ListedEntry>> entries = ListFolder(folder);
    if (!entries)
        return false;
    for (const ListedEntry& entry : *entries) {
        const bool isFolder = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!DeleteEntryAt(path, entry.name, isFolder ? EntryKind::Tree : EntryKind::File, beforeEntry))
            return false;
    }
    return true;
}

// Deletes `name` in the folder whose normalised path is `folder`. The entry is opened as itself (a
// link is not followed where the system can help it) and must turn out to be that very entry: a
// handle whose own path is another one came through a link the system followed, and is left alone.
bool DeleteEntryAt(const std::wstring& folder,
                   const std::wstring& name,
                   EntryKind kind,
                   const TreeEntryObserver& beforeEntry) {
    const std::wstring path = folder + L"\\" + name;
    if (beforeEntry)
        beforeEntry(path);
    UniqueFile entry(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!entry) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(entry.Get(), &info) || !SamePath(FinalPathOf(entry.Get()), path))
        return false;
    const bool isLink = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const bool isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    switch (kind) {
        case EntryKind::File:
            if (isFolder && !isLink)
                return false;
            break;
        case EntryKind::EmptyDirectory:
            if (!isFolder)
                return false;
            break;
        case EntryKind::Tree:
            if (!isFolder)
                return false;
            if (!isLink && !DeleteChildren(entry.Get(), path, beforeEntry))
                return false;
            break;
    }
    // Gone when the handle closes; a folder with anything left in it refuses.
    FILE_DISPOSITION_INFO disposition{TRUE};
    return ::SetFileInformationByHandle(entry.Get(), FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

// The normalised path of an entry's folder and the entry's name, for DeleteEntryAt.
bool DeleteByPath(const std::wstring& path, EntryKind kind, const TreeEntryObserver& beforeEntry) {
    const std::wstring name = FileNameOfPath(path);
    const std::wstring parent = DirectoryOfPath(path);
    if (name.empty() || IsDotEntry(name) || parent.empty())
        return false;
    // The folder is held, and may not be renamed, while its entry is dealt with.
    UniqueFile folder(::CreateFileW((parent + L"\\").c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    std::wstring folderPath = FinalPathOf(folder.Get());
    while (!folderPath.empty() && folderPath.back() == L'\\')
        folderPath.pop_back();
    if (folderPath.empty())
        return false;
    return DeleteEntryAt(folderPath, name, kind, beforeEntry);
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

bool DeleteDirectoryTree(const std::wstring& path, const TreeEntryObserver& beforeEntry) {
    switch (StateOf(path)) {
        case PathState::Missing:
            return true;
        case PathState::File:
        case PathState::Unknown:
            return false;
        case PathState::Directory:
            break;
    }
    return DeleteByPath(path, EntryKind::Tree, beforeEntry);
}

bool DeleteFileEntry(const std::wstring& path) {
    return DeleteByPath(path, EntryKind::File, {});
}

bool DeleteEmptyDirectory(const std::wstring& path) {
    return DeleteByPath(path, EntryKind::EmptyDirectory, {});
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
