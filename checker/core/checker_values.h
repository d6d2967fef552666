#pragma once

// How the checker reads and writes its registry values. Numbers and times are read into fixed
// buffers preset to 0 without looking at the value's type, so a value written by another tool with
// a different type still reads as its bytes; a value too long for the buffer fails and reads as
// the default.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/platform/registry.h"

// The bytes of the value, whatever its type, in a 4-byte little-endian buffer preset to 0: a shorter
// value gives its bytes zero-extended. Nothing when the value is missing or longer than 4 bytes.
std::optional<uint32_t> ReadFourByteNumber(const IRegistryKey& key, std::wstring_view name);

// The text of a REG_SZ, REG_EXPAND_SZ (unexpanded) or REG_MULTI_SZ (its first string) up to its
// first NUL; a value stored without one is taken whole and an odd last byte is dropped. Empty when
// the value is missing or of any other type.
std::wstring ReadText(const IRegistryKey& key, std::wstring_view name);

// A stored time: signed seconds since 1970-01-01 UTC in exactly 8 little-endian bytes. 0 ("never")
// when the value is missing or not 8 bytes long.
int64_t ReadStoredTime(const IRegistryKey& key, std::wstring_view name);

// Writes the time as REG_BINARY of exactly 8 bytes.
bool WriteStoredTime(IRegistryKey& key, std::wstring_view name, int64_t time);
