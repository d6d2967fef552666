#pragma once

// The scheduler's confirmation: the countdown dialog, run modally over the tray window.

#include <windows.h>

#include "scheduler/core/scheduler_services.h"

class CTimeoutConfirmation : public IConfirmation {
  public:
    explicit CTimeoutConfirmation(const IClock& clock, HWND owner = nullptr)
        : m_clock(clock), m_owner(owner) {}

    // False also when the dialog could not be created.
    bool Confirm(int32_t action) override;

  private:
    const IClock& m_clock;
    HWND m_owner;
};
