#pragma once

// String tables read straight from a module's RT_STRING resources in a language of the caller's
// choosing, instead of the thread's language that LoadStringW follows.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/platform/string_table.h"

// The strings of `module` (nullptr: the executable) in `language`; a string that language lacks is
// taken from the English (0x409) table, and one that English lacks too is empty.
class CResourceStringTable : public IStringTable {
  public:
    static constexpr LANGID kFallbackLanguage = 0x409;

    CResourceStringTable(HMODULE module, LANGID language);

    std::wstring Load(uint32_t id) const override;
    LANGID Language() const { return m_language; }

  private:
    HMODULE m_module;
    LANGID m_language;
};

// The string `id` exactly as the table of `language` holds it, with no fallback to any other
// language; nothing when that table lacks it.
std::optional<std::wstring> LoadStringInLanguage(HMODULE module, uint32_t id, LANGID language);

// Whether `module` has string tables in `language`. Every language of a program has them, so this
// tells whether the program speaks that language at all.
bool ModuleHasLanguage(HMODULE module, LANGID language);
