#pragma once

#include <windows.h>

#include <string>

// A fresh directory under the temporary directory, removed with everything in it at the end.
class CScratchDirectory {
  public:
    CScratchDirectory();
    ~CScratchDirectory();
    CScratchDirectory(const CScratchDirectory&) = delete;
    CScratchDirectory& operator=(const CScratchDirectory&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

  private:
    std::wstring m_path;
};

bool PathExists(const std::wstring& path);
bool IsDirectory(const std::wstring& path);
bool WriteTextFile(const std::wstring& path, const char* text);

// Makes `link` a directory symbolic link to `target`. Where CreateSymbolicLinkW does not give a
// real link (Wine's is a stub), a host symbolic link is made instead, which Wine shows as a
// directory reparse point just like a link on Windows.
bool MakeDirectoryLink(const std::wstring& link, const std::wstring& target);

// Moves `folder` to `movedTo` and puts a directory link to `target` in its place (see MakeDirectoryLink).
bool SwapForDirectoryLink(const std::wstring& folder, const std::wstring& movedTo, const std::wstring& target);

// Where the pack's 32-bit installer writes its machine-wide keys: the 32-bit view, which the checker reads.
inline constexpr const wchar_t* kUninstallKeyPath32 =
    L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillpack";
inline constexpr const wchar_t* kRunKeyPath32 = L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
