#pragma once

// Module paths, the temporary directory and directory trees, over the Win32 file API.

#include <windows.h>

#include <functional>
#include <string>

// The file path of a module (null: the running program) from a 260-character buffer; empty when
// the call fails or the path does not fit. The running program's path is looked up once.
std::wstring GetModuleFilePath(HMODULE module = nullptr);

// The module's path up to, not including, its last backslash.
std::wstring GetModuleDirectory(HMODULE module = nullptr);

// The user's temporary directory, ending with a backslash as the system gives it; empty on failure.
std::wstring GetTempDirectory();

// Creates the directory and any missing parents. True when it exists as a directory afterwards.
bool CreateDirectoryTree(const std::wstring& path);

// Called with each entry's path after the entry is listed and before it is opened (a test's way in
// to change the tree under the deletion).
using TreeEntryObserver = std::function<void(const std::wstring& path)>;

// Removes a directory with everything below it. True when nothing is left at the path (or nothing
// was there); false for a file, and at the first entry that cannot be removed. Every entry is opened
// without following links, checked on its handle (it must be what its folder lists under that name)
// and deleted through that handle, so a link or junction, also one swapped in while the deletion
// runs, is removed itself or left, and nothing outside the tree is touched.
bool DeleteDirectoryTree(const std::wstring& path, const TreeEntryObserver& beforeEntry = {});

// Deletes one file, or one empty directory, in the same way: true when it is gone (or was never
// there); a link of that name is removed itself or left, never followed.
bool DeleteFileEntry(const std::wstring& path);
bool DeleteEmptyDirectory(const std::wstring& path);

// prefix + a four-character random hexadecimal suffix (see MakeUniqueName) naming nothing that
// exists, in the temporary directory when inTempDirectory is set; empty when no free name was found.
std::wstring MakeUniqueTempName(const std::wstring& prefix, bool inTempDirectory);
// The same with the draws (values below 65536) supplied by the caller.
std::wstring MakeUniqueTempName(const std::wstring& prefix,
                                bool inTempDirectory,
                                const std::function<unsigned()>& draw);
