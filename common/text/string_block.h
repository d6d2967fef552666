#pragma once

// The layout of a string-table resource (RT_STRING), read without the platform so that the walk
// over the bytes is tested in both builds. Block n holds the strings (n - 1) * 16 to n * 16 - 1,
// each a 16-bit length followed by that many UTF-16 units, all little-endian and without NULs.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// The resource name of the block that holds a string.
constexpr uint32_t StringBlockName(uint32_t stringId) {
    return stringId / 16 + 1;
}

// The string `stringId` from its block. Nothing when its entry is empty (the compiler writes a
// zero length for a number the table does not define) or when the block ends before the entry
// does, so a damaged resource is never read past its end. Surrogate pairs become one character
// where wchar_t is 32 bits; an unpaired surrogate is kept as it is.
std::optional<std::wstring> ReadStringFromBlock(std::span<const uint8_t> block, uint32_t stringId);
