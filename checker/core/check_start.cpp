#include "checker/core/check_start.h"

#include "checker/core/same_calendar_day.h"

bool TryStartCheck(const CheckStartServices& services, int64_t& loadedTime) {
    const int64_t now = services.now();
    if (loadedTime != 0 && SameCalendarDay(services.calendar, loadedTime, now))
        return true;
    if (!services.isOnline())
        return false;
    if (services.workerRunning())
        return false;
    // A worker that could not be started is not tried again: the window then closes as after a check.
    services.startWorker();
    loadedTime = now;
    return true;
}
