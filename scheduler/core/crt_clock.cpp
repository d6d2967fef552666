#include "scheduler/core/crt_clock.h"

#include <ctime>
#include <limits>

#include "common/time/crt_local_time.h"

int64_t CCrtClock::Now() const {
#ifdef _WIN32
    return _time64(nullptr);
#else
    return static_cast<int64_t>(std::time(nullptr));
#endif
}

std::optional<LocalTime> CCrtClock::ToLocal(int64_t time) const {
    const std::optional<std::tm> local = CrtLocalTime(time);
    if (!local)
        return std::nullopt;
    const std::tm& fields = *local;
    if (fields.tm_year > std::numeric_limits<int>::max() - 1900)
        return std::nullopt;
    return LocalTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                     fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

std::optional<int64_t> CCrtClock::FromLocal(const LocalTime& local) const {
    if (local.year < std::numeric_limits<int>::min() + 1900)
        return std::nullopt;
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = -1;
    // Both runtimes answer -1 for a time they cannot convert; 1969's last second is of no use here.
#ifdef _WIN32
    const __time64_t result = _mktime64(&fields);
#else
    const time_t result = std::mktime(&fields);
#endif
    if (result == -1)
        return std::nullopt;
    return static_cast<int64_t>(result);
}
