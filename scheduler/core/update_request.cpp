#include "scheduler/core/update_request.h"

#include "common/http/endpoint_override.h"
#include "scheduler/core/settings.h"

std::wstring BuildUpdateUrl(std::wstring_view base,
                            std::wstring_view version,
                            std::wstring_view lang,
                            std::wstring_view systemLanguage) {
    std::wstring url = EndpointAddress(base, L"/tivolan/version.php?version=");
    url += version;
    url += L"&lang=";
    url += lang;
    url += L"&syslang=";
    url += systemLanguage;
    return url;
}

UpdateEndpoints ReadUpdateEndpoints(IRegistry& registry, const UpdateEndpoints& defaults) {
    return {ReadEndpointOverride(registry, kSettingsKeyPath, kUpdateServerValue, defaults.primary),
            ReadEndpointOverride(registry, kSettingsKeyPath, kUpdateFallbackServerValue, defaults.fallback)};
}
