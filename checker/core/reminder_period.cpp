#include "checker/core/reminder_period.h"

#include "checker/core/checker_keys.h"
#include "checker/core/checker_values.h"
#include "common/platform/registry_values.h"

ReminderPeriod ReminderPeriodOf(std::optional<uint32_t> stored) {
    if (!stored || *stored > static_cast<uint32_t>(ReminderPeriod::Never))
        return ReminderPeriod::NextDay;
    return static_cast<ReminderPeriod>(*stored);
}

ReminderPeriod ReadReminderPeriod(const IRegistryKey& key) {
    return ReminderPeriodOf(ReadFourByteNumber(key, kPeriodValue));
}

bool WriteReminderPeriod(IRegistryKey& key, ReminderPeriod period) {
    return WriteDword(key, kPeriodValue, static_cast<uint32_t>(period));
}
