#pragma once

// The scheduler's confirmation: the countdown dialog, run modally over the window the user is
// working in.

#include <windows.h>

#include "scheduler/core/scheduler_services.h"

class CTimeoutConfirmation : public IConfirmation {
  public:
    explicit CTimeoutConfirmation(const IClock& clock) : m_clock(clock) {}

    // Over this thread's active window while it is on screen. Otherwise (the user is in another
    // program, or only the hidden tray window was active) the countdown has no owner and a taskbar
    // button of its own, so nothing of ours can hide it.
    // False also when the dialog could not be created.
    bool Confirm(int32_t action) override;

  private:
    const IClock& m_clock;
};
