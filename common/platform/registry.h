#pragma once

// A typed key/value store shaped like the Windows registry, so that settings code can be tested
// with an in-memory fake and run against the real registry through one thin adapter.

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

enum class RegistryRoot {
    CurrentUser,
    LocalMachine,
};

// Value types, numbered as the registry numbers them.
namespace RegistryType {
constexpr uint32_t None = 0;
constexpr uint32_t String = 1;        // REG_SZ
constexpr uint32_t ExpandString = 2;  // REG_EXPAND_SZ
constexpr uint32_t Binary = 3;        // REG_BINARY
constexpr uint32_t Dword = 4;         // REG_DWORD (little-endian)
constexpr uint32_t MultiString = 7;   // REG_MULTI_SZ
constexpr uint32_t Qword = 11;        // REG_QWORD (little-endian)
}  // namespace RegistryType

// Access masks, numbered as the registry numbers them.
namespace RegistryAccess {
constexpr uint32_t Read = 0x20019;       // KEY_READ
constexpr uint32_t Write = 0x20006;      // KEY_WRITE
constexpr uint32_t ReadWrite = 0x2001F;  // KEY_READ | KEY_WRITE
constexpr uint32_t AllAccess = 0xF003F;  // KEY_ALL_ACCESS
// Added to a mask: the 32-bit view of HKEY_LOCAL_MACHINE\Software on 64-bit Windows (KEY_WOW64_32KEY),
// what a 32-bit program sees there without asking; no effect on 32-bit Windows.
constexpr uint32_t View32 = 0x0200;
}  // namespace RegistryAccess

struct RegistryValue {
    uint32_t type = RegistryType::None;
    std::vector<uint8_t> data;  // exactly the bytes stored, terminators included
};

// One open key; closed when the object goes.
class IRegistryKey {
  public:
    virtual ~IRegistryKey() = default;
    // Nothing when the value is missing or cannot be read.
    virtual std::optional<RegistryValue> Read(std::wstring_view name) const = 0;
    virtual bool Write(std::wstring_view name, uint32_t type, const uint8_t* data, size_t size) = 0;
    // True when the value is gone afterwards (also when it was never there).
    virtual bool Delete(std::wstring_view name) = 0;
};

class IRegistry {
  public:
    virtual ~IRegistry() = default;
    // Null when the key does not exist or cannot be opened with that access.
    virtual std::unique_ptr<IRegistryKey> Open(RegistryRoot root,
                                               std::wstring_view path,
                                               uint32_t access) = 0;
    // Opens the key, creating it and its parents when missing (non-volatile). Null on failure.
    virtual std::unique_ptr<IRegistryKey> Create(RegistryRoot root,
                                                 std::wstring_view path,
                                                 uint32_t access) = 0;
};
