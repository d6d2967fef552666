#include "checker/core/partner_switch.h"

#include <cstdint>
#include <optional>

#include "checker/core/checker_keys.h"
#include "common/platform/registry_values.h"

void RecordPartnerSwitch(IRegistry& registry, bool enabled) {
    const auto key = registry.Open(RegistryRoot::CurrentUser, kQuillpackKeyPath, RegistryAccess::Write);
    if (!key)
        return;
    if (enabled) {
        key->Delete(kPartnerSwitchValue);
        return;
    }
    WriteDword(*key, kPartnerSwitchValue, 0);
}

bool IsPartnerSwitchOn(IRegistry& registry) {
    const auto key = registry.Open(RegistryRoot::CurrentUser, kQuillpackKeyPath, RegistryAccess::Read);
    if (!key)
        return true;
    const std::optional<uint32_t> value = ReadDword(*key, kPartnerSwitchValue);
    return !value || *value == 1;
}
