#pragma once

// The checker's own state under HKCU\Software\Quillpack\Update: when a version document was last
// loaded in the background, when a check was last let through or started by the user, and the
// reminder period. Reads open the key read-only and leave a missing key missing; writes create it.

#include <cstdint>

#include "checker/core/reminder_period.h"
#include "common/platform/registry.h"

class CCheckerState {
  public:
    explicit CCheckerState(IRegistry& registry) : m_registry(registry) {}

    // 0 when never stored or unreadable.
    int64_t LoadedTime() const;
    int64_t CheckedTime() const;
    // NextDay when missing or unreadable.
    ReminderPeriod Period() const;

    // False when the key cannot be created or the value not written.
    bool SetLoadedTime(int64_t time);
    bool SetCheckedTime(int64_t time);
    bool SetPeriod(ReminderPeriod period);

  private:
    int64_t ReadTime(const wchar_t* name) const;
    bool WriteTime(const wchar_t* name, int64_t time);

    IRegistry& m_registry;
};
