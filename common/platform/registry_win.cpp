#include "common/platform/registry_win.h"

#include <windows.h>

#include <string>

#include "common/platform/registry_key_win.h"

namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

std::unique_ptr<IRegistryKey> CWin32Registry::Open(RegistryRoot root,
                                                   std::wstring_view path,
                                                   uint32_t access) {
    const std::wstring keyPath(path);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(RootKey(root), keyPath.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<CWin32RegistryKey>(UniqueRegistryKey(key));
}

std::unique_ptr<IRegistryKey> CWin32Registry::Create(RegistryRoot root,
                                                     std::wstring_view path,
                                                     uint32_t access) {
    const std::wstring keyPath(path);
    HKEY key = nullptr;
    if (::RegCreateKeyExW(RootKey(root), keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<CWin32RegistryKey>(UniqueRegistryKey(key));
}
