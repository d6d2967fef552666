#pragma once

// One open key of the real registry, behind IRegistryKey.

#include <windows.h>

#include <utility>

#include "common/platform/registry.h"
#include "common/platform/unique_resource.h"

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static void Close(Type key) { ::RegCloseKey(key); }
};

using UniqueRegistryKey = UniqueResource<RegistryKeyTraits>;

class CWin32RegistryKey : public IRegistryKey {
  public:
    explicit CWin32RegistryKey(UniqueRegistryKey key) : m_key(std::move(key)) {}

    // Asks for the size first, then reads; a value that grew in between is asked for again.
    std::optional<RegistryValue> Read(std::wstring_view name) const override;
    bool Write(std::wstring_view name, uint32_t type, const uint8_t* data, size_t size) override;
    // A value that is not there counts as deleted.
    bool Delete(std::wstring_view name) override;

    HKEY Get() const { return m_key.Get(); }

  private:
    UniqueRegistryKey m_key;
};
