#pragma once

// A key opened from CMemoryRegistry with a given access mask.

#include <string>

#include "common/platform/memory_registry.h"

class CMemoryRegistryKey : public IRegistryKey {
  public:
    CMemoryRegistryKey(CMemoryRegistry& registry,
                       CMemoryRegistry::KeyId id,
                       std::wstring path,
                       uint32_t access);

    std::optional<RegistryValue> Read(std::wstring_view name) const override;
    bool Write(std::wstring_view name, uint32_t type, const uint8_t* data, size_t size) override;
    bool Delete(std::wstring_view name) override;

  private:
    // The registry's own access bits for values.
    static constexpr uint32_t kQueryValue = 0x0001;
    static constexpr uint32_t kSetValue = 0x0002;

    CMemoryRegistry& m_registry;
    CMemoryRegistry::KeyId m_id;
    std::wstring m_path;
    uint32_t m_access;
};
