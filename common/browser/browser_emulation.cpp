#include "common/browser/browser_emulation.h"

#include "common/platform/registry_values.h"

std::optional<uint32_t> BrowserEmulationValue(uint32_t major) {
    if (major < 8)
        return std::nullopt;
    // The major version comes from a 16-bit field; anything larger is not a version.
    if (major > 0xFFFF)
        return std::nullopt;
    return major * 1000;
}

bool EnableBrowserEmulation(IRegistry& registry, const std::wstring& executableName, uint32_t major) {
    const std::optional<uint32_t> value = BrowserEmulationValue(major);
    // An empty name would set the key's default value, which means nothing to the browser.
    if (!value || executableName.empty())
        return false;
    std::unique_ptr<IRegistryKey> key =
        registry.Create(RegistryRoot::CurrentUser, kBrowserEmulationKeyPath, RegistryAccess::Write);
    return key && WriteDword(*key, executableName, *value);
}

bool DisableBrowserEmulation(IRegistry& registry, const std::wstring& executableName, uint32_t major) {
    if (!BrowserEmulationValue(major) || executableName.empty())
        return false;
    std::unique_ptr<IRegistryKey> key =
        registry.Open(RegistryRoot::CurrentUser, kBrowserEmulationKeyPath, RegistryAccess::Write);
    return key && key->Delete(executableName);
}
