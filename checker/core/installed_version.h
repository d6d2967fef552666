#pragma once

// The installed pack's version, from its uninstall entry under HKEY_LOCAL_MACHINE. The checker only
// reads that key; the pack's installer writes it.

#include <cstdint>
#include <optional>
#include <string>

#include "common/platform/registry.h"

struct InstalledVersion {
    int32_t major = 0;     // "VersionMajor"
    int32_t minor = 0;     // "VersionMinor"
    std::wstring spec;     // "VersionSpec": the edition, which filters the offered downloads
    std::wstring display;  // "DisplayVersion": shown to the user and sent with the request

    bool operator==(const InstalledVersion&) const = default;
};

// Nothing only when the uninstall key cannot be opened for reading; each missing or unreadable value
// keeps its default, so an empty key gives (0, 0, "", ""). The numbers are read as 4 bytes whatever
// their type.
std::optional<InstalledVersion> ReadInstalledVersion(IRegistry& registry);

// The same values from an uninstall key the caller already holds open.
InstalledVersion ReadInstalledVersion(const IRegistryKey& key);
