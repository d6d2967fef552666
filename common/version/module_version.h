#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/version/version_text.h"

// Reads the version resource of a file or of a module loaded in this process.
class CModuleVersion {
  public:
    // Without a translation table the strings are looked up as US English in Windows-1252.
    static constexpr WORD kDefaultLanguage = 0x0409;
    static constexpr WORD kDefaultCodePage = 1252;

    CModuleVersion();

    // True when the file has a version resource with a valid fixed record. A later Load replaces
    // everything an earlier one read.
    bool Load(const std::wstring& path);
    // A module already loaded in this process (null: the running program); false for any other.
    bool LoadModule(const wchar_t* moduleName = nullptr);

    // A string value ("ProductVersion", "CompanyName", ...) of the loaded translation, or empty.
    std::wstring GetValue(const std::wstring& valueName) const;

    const VS_FIXEDFILEINFO& Fixed() const { return m_fixed; }
    VersionQuad FileVersion() const {
        return VersionQuad::FromWords(m_fixed.dwFileVersionMS, m_fixed.dwFileVersionLS);
    }
    VersionQuad ProductVersion() const {
        return VersionQuad::FromWords(m_fixed.dwProductVersionMS, m_fixed.dwProductVersionLS);
    }
    WORD Language() const { return m_language; }
    WORD CodePage() const { return m_codePage; }

  private:
    void Clear();

    VS_FIXEDFILEINFO m_fixed;
    std::unique_ptr<BYTE[]> m_block;
    WORD m_language;
    WORD m_codePage;
};
