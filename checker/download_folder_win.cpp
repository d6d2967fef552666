#include "checker/download_folder_win.h"

#include <windows.h>

#include <vector>

#include "checker/download_folder_name.h"
#include "common/path/file_system.h"
#include "common/path/path.h"
#include "common/platform/unique_resource.h"
#include "common/random/process_random.h"

std::wstring CreateDownloadFolder() {
    return CreateDownloadFolder([] { return ProcessRandomNext15(); });
}

std::wstring CreateDownloadFolder(const Draw15& draw) {
    const std::wstring folder =
        MakeUniqueTempName(kDownloadFolderPrefix, true, [&] { return DrawDownloadFolderNumber(draw); });
    if (!folder.empty())
        CreateDirectoryTree(folder);
    return folder;
}

void RemoveDownload(const std::wstring& filePath, const std::wstring& folder) {
    if (!filePath.empty())
        ::DeleteFileW(filePath.c_str());
    // Fails, as it should, while anything is still in the folder.
    if (!folder.empty())
        ::RemoveDirectoryW(folder.c_str());
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
