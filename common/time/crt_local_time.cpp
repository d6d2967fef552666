#include "common/time/crt_local_time.h"

#include <limits>

std::optional<std::tm> CrtLocalTime(int64_t time) {
    std::tm fields{};
#ifdef _WIN32
    const __time64_t value = time;
    if (_localtime64_s(&fields, &value) != 0)
        return std::nullopt;
#else
    if (time < std::numeric_limits<time_t>::min() || time > std::numeric_limits<time_t>::max())
        return std::nullopt;
    const time_t value = static_cast<time_t>(time);
    if (!localtime_r(&value, &fields))
        return std::nullopt;
#endif
    return fields;
}
