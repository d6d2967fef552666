#include "checker/core/installed_version.h"

#include "checker/core/checker_keys.h"
#include "checker/core/checker_values.h"

std::optional<InstalledVersion> ReadInstalledVersion(IRegistry& registry) {
    const auto key = registry.Open(RegistryRoot::LocalMachine, kUninstallKeyPath, kMachineReadAccess);
    if (!key)
        return std::nullopt;
    return ReadInstalledVersion(*key);
}

InstalledVersion ReadInstalledVersion(const IRegistryKey& key) {
    InstalledVersion version;
    version.major = static_cast<int32_t>(ReadFourByteNumber(key, L"VersionMajor").value_or(0));
    version.minor = static_cast<int32_t>(ReadFourByteNumber(key, L"VersionMinor").value_or(0));
    version.spec = ReadText(key, L"VersionSpec");
    version.display = ReadText(key, L"DisplayVersion");
    return version;
}
