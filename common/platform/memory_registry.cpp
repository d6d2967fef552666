#include "common/platform/memory_registry.h"

#include <algorithm>
#include <utility>

// A key opened from CMemoryRegistry with a given access mask.
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


namespace {

wchar_t FoldCase(wchar_t ch) {
    return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

std::wstring Folded(std::wstring_view text) {
    std::wstring result(text);
    std::transform(result.begin(), result.end(), result.begin(), FoldCase);
    return result;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return FoldCase(x) == FoldCase(y);
           });
}

}  // namespace

CMemoryRegistry::StoredValue* CMemoryRegistry::Key::Find(std::wstring_view name) {
    for (auto& stored : values) {
        if (SameName(stored.name, name))
            return &stored;
    }
    return nullptr;
}

const CMemoryRegistry::StoredValue* CMemoryRegistry::Key::Find(std::wstring_view name) const {
    return const_cast<Key*>(this)->Find(name);
}

CMemoryRegistry::KeyId CMemoryRegistry::IdOf(RegistryRoot root, std::wstring_view path) {
    return {root, Folded(path)};
}

const CMemoryRegistry::Key* CMemoryRegistry::FindKey(const KeyId& id) const {
    const auto it = m_keys.find(id);
    return it == m_keys.end() ? nullptr : &it->second;
}

CMemoryRegistry::Key* CMemoryRegistry::FindKey(const KeyId& id) {
    const auto it = m_keys.find(id);
    return it == m_keys.end() ? nullptr : &it->second;
}

std::unique_ptr<IRegistryKey> CMemoryRegistry::Open(RegistryRoot root,
                                                    std::wstring_view path,
                                                    uint32_t access) {
    const KeyId id = IdOf(root, path);
    // The root itself always exists, as a predefined key does.
    const bool ok = !m_failOpen && (path.empty() || FindKey(id) != nullptr);
    m_keyAccesses.push_back({KeyOperation::Open, root, std::wstring(path), access, ok});
    if (!ok)
        return nullptr;
    return std::make_unique<CMemoryRegistryKey>(*this, id, std::wstring(path), access);
}

std::unique_ptr<IRegistryKey> CMemoryRegistry::Create(RegistryRoot root,
                                                      std::wstring_view path,
                                                      uint32_t access) {
    m_keyAccesses.push_back({KeyOperation::Create, root, std::wstring(path), access, !m_failCreate});
    if (m_failCreate)
        return nullptr;
    CreateKey(root, path);
    return std::make_unique<CMemoryRegistryKey>(*this, IdOf(root, path), std::wstring(path), access);
}

void CMemoryRegistry::CreateKey(RegistryRoot root, std::wstring_view path) {
    if (path.empty())
        return;
    // Every parent exists as a key of its own, so that opening one succeeds as it would for real.
    for (size_t end = path.find(L'\\'); end != std::wstring_view::npos; end = path.find(L'\\', end + 1))
        m_keys.try_emplace(IdOf(root, path.substr(0, end)));
    m_keys.try_emplace(IdOf(root, path));
}

void CMemoryRegistry::SetValue(RegistryRoot root,
                               std::wstring_view path,
                               std::wstring_view name,
                               RegistryValue value) {
    CreateKey(root, path);
    Key& key = m_keys[IdOf(root, path)];
    if (StoredValue* stored = key.Find(name))
        stored->value = std::move(value);
    else
        key.values.push_back({std::wstring(name), std::move(value)});
}

std::optional<RegistryValue> CMemoryRegistry::Value(RegistryRoot root,
                                                    std::wstring_view path,
                                                    std::wstring_view name) const {
    const Key* key = FindKey(IdOf(root, path));
    const StoredValue* stored = key ? key->Find(name) : nullptr;
    if (!stored)
        return std::nullopt;
    return stored->value;
}

std::vector<std::wstring> CMemoryRegistry::ValueNames(RegistryRoot root, std::wstring_view path) const {
    std::vector<std::wstring> names;
    if (const Key* key = FindKey(IdOf(root, path))) {
        for (const auto& stored : key->values)
            names.push_back(stored.name);
    }
    return names;
}

bool CMemoryRegistry::KeyExists(RegistryRoot root, std::wstring_view path) const {
    return path.empty() || FindKey(IdOf(root, path)) != nullptr;
}

void CMemoryRegistry::FailWritesOf(std::wstring_view name) {
    m_failingNames.insert(Folded(name));
}

void CMemoryRegistry::ClearLogs() {
    m_keyAccesses.clear();
    m_valueAccesses.clear();
}

void CMemoryRegistry::LogValueAccess(ValueOperation operation,
                                     std::wstring_view path,
                                     std::wstring_view name,
                                     bool ok) {
    m_valueAccesses.push_back({operation, std::wstring(path), std::wstring(name), ok});
}

bool CMemoryRegistry::WriteFails(std::wstring_view name) const {
    return m_failWrites || m_failingNames.count(Folded(name)) != 0;
}

std::optional<RegistryValue> CMemoryRegistry::KeyRead(const KeyId& id,
                                                      std::wstring_view path,
                                                      std::wstring_view name) {
    const Key* key = FindKey(id);
    const StoredValue* stored = key ? key->Find(name) : nullptr;
    LogValueAccess(ValueOperation::Read, path, name, stored != nullptr);
    if (!stored)
        return std::nullopt;
    return stored->value;
}

bool CMemoryRegistry::KeyWrite(const KeyId& id,
                               std::wstring_view path,
                               std::wstring_view name,
                               RegistryValue value) {
    Key* key = FindKey(id);
    const bool ok = key != nullptr && !WriteFails(name);
    LogValueAccess(ValueOperation::Write, path, name, ok);
    if (!ok)
        return false;
    if (StoredValue* stored = key->Find(name))
        stored->value = std::move(value);
    else
        key->values.push_back({std::wstring(name), std::move(value)});
    return true;
}

bool CMemoryRegistry::KeyDelete(const KeyId& id, std::wstring_view path, std::wstring_view name) {
    Key* key = FindKey(id);
    const bool ok = key != nullptr && !WriteFails(name);
    LogValueAccess(ValueOperation::Delete, path, name, ok);
    if (!ok)
        return false;
    std::erase_if(key->values, [name](const StoredValue& stored) { return SameName(stored.name, name); });
    return true;
}
