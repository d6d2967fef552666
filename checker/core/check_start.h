#pragma once

// One attempt of the hidden window's start timer to begin the background check. A document fetched
// earlier on the same calendar day, or a worker that was started (even one that failed to start),
// ends the waiting; no connection or a worker still running leaves it for the next tick.

#include <cstdint>
#include <functional>

#include "checker/core/local_calendar.h"

struct CheckStartServices {
    const ILocalCalendar& calendar;
    std::function<int64_t()> now;
    std::function<bool()> isOnline;  // a modem or LAN connection is reported
    std::function<bool()> workerRunning;
    std::function<bool()> startWorker;  // false when no thread could be made
};

// True when the attempt is done. `loadedTime` is the last background fetch (0: never); it becomes
// now once a worker has been started.
bool TryStartCheck(const CheckStartServices& services, int64_t& loadedTime);
