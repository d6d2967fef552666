#include "checker/core/download_folder_win.h"

#include <windows.h>

#include <vector>

#include "checker/core/download_folder_name.h"
#include "common/path/file_system.h"
#include "common/path/path.h"
#include "common/path/unique_name.h"
#include "common/platform/unique_resource.h"
#include "common/random/process_random.h"

std::wstring CreateDownloadFolder() {
    return CreateDownloadFolder([] { return ProcessRandomNext15(); });
}

std::wstring CreateDownloadFolder(const Draw15& draw) {
    std::wstring temp = GetTempDirectory();
    if (temp.empty())
        return std::wstring();
    if (!CreateDirectoryTree(temp.back() == L'\\' ? temp.substr(0, temp.size() - 1) : temp))
        return std::wstring();
    AppendPath(temp, kDownloadFolderPrefix);
    // The folder must be made here and now: a name that is taken, by anything (a link planted there
    // included), means another draw, never a folder someone else prepared.
    return MakeUniqueName(temp, [&] { return DrawDownloadFolderNumber(draw); },
                          [](const std::wstring& name) { return ::CreateDirectoryW(name.c_str(), nullptr) != FALSE; });
}

void RemoveDownload(const std::wstring& filePath, const std::wstring& folder) {
    if (!filePath.empty())
        DeleteFileEntry(filePath);
    // Fails, as it should, while anything is still in the folder.
    if (!folder.empty())
        DeleteEmptyDirectory(folder);
}

void RemoveLeftoverDownloadFolders() {
    const std::wstring temp = GetTempDirectory();
    if (temp.empty())
        return;
    std::wstring pattern = temp;
    AppendPath(pattern, (std::wstring(kDownloadFolderPrefix) + L"*").c_str());

    // Collected first: removing entries while the search is open may make it skip or repeat some.
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW entry;
    UniqueFindHandle find(::FindFirstFileW(pattern.c_str(), &entry));
    if (!find)
        return;
    do {
        // The pattern also matches short 8.3 names, which say nothing about the real one.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsDownloadFolderName(entry.cFileName)) {
            std::wstring path = temp;
            AppendPath(path, entry.cFileName);
            folders.push_back(std::move(path));
        }
    } while (::FindNextFileW(find.Get(), &entry));
    find.Reset();

    for (const std::wstring& folder : folders)
        DeleteDirectoryTree(folder);
}
