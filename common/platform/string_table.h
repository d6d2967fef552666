#pragma once

#include <cstdint>
#include <string>

// A program's string table in the language it runs in. Texts are returned exactly as the table
// holds them; a missing string is an empty text.
class IStringTable {
  public:
    virtual ~IStringTable() = default;
    virtual std::wstring Load(uint32_t id) const = 0;
};
