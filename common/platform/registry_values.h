#pragma once

// Typed access to registry values with the acceptance rules every reader here shares: a value of
// the wrong type or size counts as missing, so callers fall back to their default. Strings are
// stored as UTF-16LE in every build, so the bytes match what Windows keeps whatever wchar_t is.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform/registry.h"

// A REG_DWORD of exactly 4 bytes.
std::optional<uint32_t> DwordOf(const RegistryValue& value);
// A REG_QWORD of exactly 8 bytes.
std::optional<uint64_t> QwordOf(const RegistryValue& value);
// A REG_SZ or REG_EXPAND_SZ (left unexpanded) of even byte length. The text ends at the first NUL;
// a value stored without one is taken whole.
std::optional<std::wstring> StringOf(const RegistryValue& value);

// The UTF-16LE bytes of a text with its terminating NUL. Characters beyond the 16-bit range (only
// possible where wchar_t is 32 bits) become surrogate pairs; values no UTF-16 can hold become U+FFFD.
std::vector<uint8_t> EncodeRegistryString(std::wstring_view text);

std::optional<uint32_t> ReadDword(const IRegistryKey& key, std::wstring_view name);
std::optional<uint64_t> ReadQword(const IRegistryKey& key, std::wstring_view name);
std::optional<std::wstring> ReadString(const IRegistryKey& key, std::wstring_view name);

bool WriteDword(IRegistryKey& key, std::wstring_view name, uint32_t value);
bool WriteQword(IRegistryKey& key, std::wstring_view name, uint64_t value);
// REG_SZ with its terminating NUL.
bool WriteString(IRegistryKey& key, std::wstring_view name, std::wstring_view text);
bool WriteBinary(IRegistryKey& key, std::wstring_view name, std::span<const uint8_t> bytes);
