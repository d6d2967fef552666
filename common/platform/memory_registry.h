#pragma once

// An in-memory registry for tests. Key paths and value names compare without regard to ASCII case,
// as the registry compares them; creating a key creates its parents. Keys opened from it check
// their access mask the way the registry does (reading needs KEY_QUERY_VALUE, writing and deleting
// KEY_SET_VALUE). Every key and value access is logged, and opens, creates and writes can be made
// to fail. Keys opened from it must not outlive it.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/platform/registry.h"

class CMemoryRegistry : public IRegistry {
  public:
    enum class KeyOperation { Open, Create };
    struct KeyAccess {
        KeyOperation operation;
        RegistryRoot root;
        std::wstring path;
        uint32_t access;
        bool succeeded;
    };

    enum class ValueOperation { Read, Write, Delete };
    struct ValueAccess {
        ValueOperation operation;
        std::wstring path;  // of the key, as it was opened
        std::wstring name;
        bool succeeded;
    };

    std::unique_ptr<IRegistryKey> Open(RegistryRoot root, std::wstring_view path, uint32_t access) override;
    std::unique_ptr<IRegistryKey> Create(RegistryRoot root, std::wstring_view path, uint32_t access) override;

    // Set-up and inspection for tests: no access checks, no injected failures, nothing logged.
    void CreateKey(RegistryRoot root, std::wstring_view path);
    // Creates the key when missing.
    void SetValue(RegistryRoot root, std::wstring_view path, std::wstring_view name, RegistryValue value);
    std::optional<RegistryValue> Value(RegistryRoot root,
                                       std::wstring_view path,
                                       std::wstring_view name) const;
    // In the order the values were first written; empty for a missing key.
    std::vector<std::wstring> ValueNames(RegistryRoot root, std::wstring_view path) const;
    bool KeyExists(RegistryRoot root, std::wstring_view path) const;

    void FailOpen(bool fail) { m_failOpen = fail; }
    void FailCreate(bool fail) { m_failCreate = fail; }
    // Every write and delete of a value.
    void FailWrites(bool fail) { m_failWrites = fail; }
    // Writes and deletes of values with this name, in any key.
    void FailWritesOf(std::wstring_view name);

    const std::vector<KeyAccess>& KeyAccesses() const { return m_keyAccesses; }
    const std::vector<ValueAccess>& ValueAccesses() const { return m_valueAccesses; }
    void ClearLogs();

  private:
    friend class CMemoryRegistryKey;

    struct StoredValue {
        std::wstring name;
        RegistryValue value;
    };
    struct Key {
        std::vector<StoredValue> values;
        StoredValue* Find(std::wstring_view name);
        const StoredValue* Find(std::wstring_view name) const;
    };
    using KeyId = std::pair<RegistryRoot, std::wstring>;  // the path with ASCII letters folded

    static KeyId IdOf(RegistryRoot root, std::wstring_view path);
    const Key* FindKey(const KeyId& id) const;
    Key* FindKey(const KeyId& id);
    void LogValueAccess(ValueOperation operation, std::wstring_view path, std::wstring_view name, bool ok);
    bool WriteFails(std::wstring_view name) const;

    // What an opened key does, with failures and logging.
    std::optional<RegistryValue> KeyRead(const KeyId& id, std::wstring_view path, std::wstring_view name);
    bool KeyWrite(const KeyId& id, std::wstring_view path, std::wstring_view name, RegistryValue value);
    bool KeyDelete(const KeyId& id, std::wstring_view path, std::wstring_view name);

    std::map<KeyId, Key> m_keys;
    bool m_failOpen = false;
    bool m_failCreate = false;
    bool m_failWrites = false;
    std::set<std::wstring> m_failingNames;  // folded
    std::vector<KeyAccess> m_keyAccesses;
    std::vector<ValueAccess> m_valueAccesses;
};
