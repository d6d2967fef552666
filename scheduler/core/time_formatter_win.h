#pragma once

#include "scheduler/core/scheduler_services.h"

// Times of day in the thread locale's short format, without seconds (GetTimeFormatW).
class CWin32TimeFormatter : public ITimeFormatter {
  public:
    // Empty when the locale cannot format the time (an hour or minute out of range).
    std::wstring FormatTimeOfDay(int hour, int minute) const override;
};
