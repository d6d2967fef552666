#pragma once

#include <cstdint>

#include "scheduler/core/os_version.h"

// The version record of the running system.
class CWin32OsVersionSource : public IOsVersionSource {
  public:
    std::optional<OsVersionRecord> Query() const override;
};

// The code of the running system, computed once per process.
uint32_t GetOsVersionClass();
