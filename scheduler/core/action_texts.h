#pragma once

// The names, descriptions and icons of the actions. Each text is loaded from the string table the
// first time it is asked for and kept from then on, so a language chosen later does not change it
// (the interface language is fixed at start).

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/platform/string_table.h"

class CActionTexts {
  public:
    explicit CActionTexts(const IStringTable& strings) : m_strings(strings) {}

    // The short name ("Shut down"); "Unknown" for a code that is no action.
    const std::wstring& ActionName(int32_t action) const;
    // The long description ("Shut down Windows"); "Unknown" for a code that is no action.
    const std::wstring& ActionDescription(int32_t action) const;
    // The icon group; the program icon for a code that is no action.
    static uint32_t ActionIcon(int32_t action);

  private:
    static constexpr size_t kActionCount = 9;
    using Cache = std::array<std::optional<std::wstring>, kActionCount>;

    const std::wstring& Lookup(Cache& cache, int32_t action, uint32_t firstId, uint32_t alarmId) const;

    const IStringTable& m_strings;
    mutable Cache m_names;
    mutable Cache m_descriptions;
};
