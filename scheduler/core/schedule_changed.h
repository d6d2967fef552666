#pragma once

// Told whenever the schedule was changed by an add or by a tick that performed entries.
class CScheduleChanged {
  public:
    virtual ~CScheduleChanged() = default;
    virtual void OnScheduleChanged() = 0;
};
