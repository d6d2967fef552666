#pragma once

// The real registry behind IRegistry.

#include "common/platform/registry.h"

class CWin32Registry : public IRegistry {
  public:
    std::unique_ptr<IRegistryKey> Open(RegistryRoot root, std::wstring_view path, uint32_t access) override;
    // RegCreateKeyExW with REG_OPTION_NON_VOLATILE: missing parents are made as well.
    std::unique_ptr<IRegistryKey> Create(RegistryRoot root, std::wstring_view path, uint32_t access) override;
};
