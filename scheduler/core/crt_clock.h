#pragma once

// The clock of the C runtime: 64-bit time and the runtime's local-time conversions, which follow
// the system's time zone (or TZ when it is set).

#include "scheduler/core/scheduler_services.h"

class CCrtClock : public IClock {
  public:
    int64_t Now() const override;
    std::optional<LocalTime> ToLocal(int64_t time) const override;
    std::optional<int64_t> FromLocal(const LocalTime& local) const override;
};
