#pragma once

// Whether a background check may announce a new version now, by the stored reminder period and the
// time of the last check let through. A pass is recorded ("checked" = now, "period" back to NextDay),
// so Week and Month postpone one announcement only; a hold records nothing.

#include <cstdint>
#include <string_view>

#include "checker/core/local_calendar.h"
#include "common/platform/registry.h"

enum class GateDecision { Pass, Hold };

// now: the time taken once at the start of the check; mode: the version document's "mode", where
// "force" (any case) turns Never into Month for this decision. When the state key cannot be opened for
// writing the gate passes without reading or writing anything.
GateDecision ReminderGate(IRegistry& registry,
                          const ILocalCalendar& calendar,
                          int64_t now,
                          std::wstring_view mode);
