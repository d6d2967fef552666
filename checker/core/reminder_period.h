#pragma once

// How long an announced version stays quiet, as the reminder dialog stores it in "period".

#include <cstdint>
#include <optional>

#include "common/platform/registry.h"

enum class ReminderPeriod : uint32_t {
    NextDay = 0,  // again on another calendar day
    Week = 1,     // after 7 days
    Month = 2,    // after 30 days
    Never = 3,
};

// The period a stored number stands for: numbers without a meaning, and no number, are NextDay.
ReminderPeriod ReminderPeriodOf(std::optional<uint32_t> stored);

// "period" of an open CheckerState key, read as 4 bytes whatever its type.
ReminderPeriod ReadReminderPeriod(const IRegistryKey& key);

// "period" as a REG_DWORD.
bool WriteReminderPeriod(IRegistryKey& key, ReminderPeriod period);
