#include "common/platform/memory_registry_key.h"

#include <utility>

CMemoryRegistryKey::CMemoryRegistryKey(CMemoryRegistry& registry,
                                       CMemoryRegistry::KeyId id,
                                       std::wstring path,
                                       uint32_t access)
    : m_registry(registry), m_id(std::move(id)), m_path(std::move(path)), m_access(access) {}

std::optional<RegistryValue> CMemoryRegistryKey::Read(std::wstring_view name) const {
    if ((m_access & kQueryValue) == 0) {
        m_registry.LogValueAccess(CMemoryRegistry::ValueOperation::Read, m_path, name, false);
        return std::nullopt;
    }
    return m_registry.KeyRead(m_id, m_path, name);
}

bool CMemoryRegistryKey::Write(std::wstring_view name, uint32_t type, const uint8_t* data, size_t size) {
    if ((m_access & kSetValue) == 0) {
        m_registry.LogValueAccess(CMemoryRegistry::ValueOperation::Write, m_path, name, false);
        return false;
    }
    RegistryValue value;
    value.type = type;
    if (size != 0)
        value.data.assign(data, data + size);
    return m_registry.KeyWrite(m_id, m_path, name, std::move(value));
}

bool CMemoryRegistryKey::Delete(std::wstring_view name) {
    if ((m_access & kSetValue) == 0) {
        m_registry.LogValueAccess(CMemoryRegistry::ValueOperation::Delete, m_path, name, false);
        return false;
    }
    return m_registry.KeyDelete(m_id, m_path, name);
}
