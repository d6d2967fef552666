#include "common/http/endpoint_override.h"

#include <optional>

#include "common/platform/registry_values.h"

std::wstring ReadEndpointOverride(IRegistry& registry,
                                  std::wstring_view keyPath,
                                  std::wstring_view valueName,
                                  std::wstring compiledBase) {
    const auto key = registry.Open(RegistryRoot::CurrentUser, keyPath, RegistryAccess::Read);
    if (!key)
        return compiledBase;
    std::optional<std::wstring> base = ReadString(*key, valueName);
    return base && !base->empty() ? std::move(*base) : compiledBase;
}

std::wstring EndpointAddress(std::wstring_view base, std::wstring_view path) {
    if (base.ends_with(L'/'))
        base.remove_suffix(1);
    std::wstring address(base);
    address += path;
    return address;
}
