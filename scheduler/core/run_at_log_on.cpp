#include "scheduler/core/run_at_log_on.h"

#include "common/platform/registry_values.h"
#include "common/text/format.h"

bool IsRunAtLogOn(IRegistry& registry) {
    const auto key = registry.Open(RegistryRoot::CurrentUser, kRunKeyPath, RegistryAccess::Read);
    if (!key)
        return false;
    const auto command = ReadString(*key, kRunValueName);
    return command && !command->empty();
}

void SetRunAtLogOn(IRegistry& registry, bool enable, std::wstring_view executablePath) {
    if (enable) {
        const auto key = registry.Create(RegistryRoot::CurrentUser, kRunKeyPath, RegistryAccess::ReadWrite);
        if (!key || executablePath.empty() || executablePath.size() > kMaxRunPathLength)
            return;
        WriteString(*key, kRunValueName, FormatText(L"\"%s\" /s", {executablePath}));
    } else {
        const auto key = registry.Open(RegistryRoot::CurrentUser, kRunKeyPath, RegistryAccess::Write);
        if (key)
            key->Delete(kRunValueName);
    }
}
