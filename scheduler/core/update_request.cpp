#include "scheduler/core/update_request.h"

#include <optional>

#include "common/platform/registry_values.h"
#include "scheduler/core/settings.h"

std::wstring BuildUpdateUrl(std::wstring_view base,
                            std::wstring_view version,
                            std::wstring_view lang,
                            std::wstring_view systemLanguage) {
    if (base.ends_with(L'/'))
        base.remove_suffix(1);
    std::wstring url(base);
    url += L"/tivolan/version.php?version=";
    url += version;
    url += L"&lang=";
    url += lang;
    url += L"&syslang=";
    url += systemLanguage;
    return url;
}

UpdateEndpoints ReadUpdateEndpoints(IRegistry& registry, const UpdateEndpoints& defaults) {
    UpdateEndpoints endpoints = defaults;
    const auto key = registry.Open(RegistryRoot::CurrentUser, kSettingsKeyPath, RegistryAccess::Read);
    if (!key)
        return endpoints;
    if (const std::optional<std::wstring> primary = ReadString(*key, kUpdateServerValue);
        primary && !primary->empty())
        endpoints.primary = *primary;
    if (const std::optional<std::wstring> fallback = ReadString(*key, kUpdateFallbackServerValue);
        fallback && !fallback->empty())
        endpoints.fallback = *fallback;
    return endpoints;
}
