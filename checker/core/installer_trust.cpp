#include "checker/core/installer_trust.h"

#include <algorithm>

#include "checker/core/checker_keys.h"
#include "common/text/ascii_case.h"

bool IsLaunchableInstallerName(std::wstring_view fileName) {
    if (fileName.size() <= 4)
        return false;
    const std::wstring_view extension = fileName.substr(fileName.size() - 4);
    return EqualsIgnoringAsciiCase(extension, L".exe") || EqualsIgnoringAsciiCase(extension, L".msi");
}

std::vector<std::wstring> MultiStringNames(const std::vector<uint8_t>& data) {
    std::vector<std::wstring> names;
    std::wstring name;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit != L'\0') {
            name.push_back(unit);
            continue;
        }
        if (!name.empty())
            names.push_back(std::move(name));
        name.clear();
    }
    if (!name.empty())
        names.push_back(std::move(name));
    return names;
}

std::vector<std::wstring> ReadTrustedPublishers(IRegistry& registry, const std::vector<std::wstring>& compiled) {
    const std::unique_ptr<IRegistryKey> key =
        registry.Open(RegistryRoot::CurrentUser, kCheckerStateKeyPath, RegistryAccess::Read);
    if (!key)
        return compiled;
    const std::optional<RegistryValue> value = key->Read(kTrustedPublishersValue);
    if (!value || value->type != RegistryType::MultiString)
        return compiled;
    std::vector<std::wstring> names = MultiStringNames(value->data);
    return names.empty() ? compiled : names;
}

bool IsTrustedPublisher(std::wstring_view signer, const std::vector<std::wstring>& publishers) {
    return !signer.empty() && std::find(publishers.begin(), publishers.end(), signer) != publishers.end();
}
