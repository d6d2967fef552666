#include "scheduler/core/compute_due.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "common/time/time_arithmetic.h"
#include "scheduler/core/power_action.h"

namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
// Beyond this many days the calendar's day field could overflow; such times are centuries away.
constexpr int64_t kCalendarDays = 1'000'000;
// A clock time must be more than this far ahead to count as today's.
constexpr int64_t kMinimumLead = 60;

int64_t SaturatingDays(int64_t days) {
    return days > kMax / kSecondsPerDay ? kMax : days * kSecondsPerDay;
}

}  // namespace

int64_t ComputeDue(const IClock& clock, int32_t kind, int64_t seconds) {
    const int64_t now = clock.Now();
    if (kind == TimeKind::After)
        return SaturatingAdd(now, seconds);

    const std::optional<LocalTime> today = clock.ToLocal(now);
    if (!today || today->year < 1900 || today->month < 1 || today->month > 12 || today->day < 1 ||
        today->day > 31)
        throw std::runtime_error("the current time has no local calendar breakdown");
    const std::optional<int64_t> midnight = clock.FromLocal({today->year, today->month, today->day, 0, 0, 0});
    if (!midnight)
        throw std::invalid_argument("local midnight cannot be converted");

    const int64_t days = seconds >= 0 ? seconds / kSecondsPerDay : 0;
    const int64_t rest = (seconds % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
    const auto onDay = [&](int64_t offset) {
        if (offset <= kCalendarDays) {
            const LocalTime local{today->year,
                                  today->month,
                                  today->day + static_cast<int>(offset),
                                  static_cast<int>(rest / 3600),
                                  static_cast<int>(rest % 3600 / 60),
                                  static_cast<int>(rest % 60)};
            if (const std::optional<int64_t> time = clock.FromLocal(local))
                return *time;
        }
        return SaturatingAdd(SaturatingAdd(*midnight, rest), SaturatingDays(offset));
    };

    int64_t due = onDay(days);
    if (due <= SaturatingAdd(now, kMinimumLead))
        due = onDay(days + 1);
    return due;
}

int64_t ComputeRepeatDue(const IClock& clock, const TaskRecord& task) {
    if (task.kind == TimeKind::After)
        return ComputeDue(clock, TimeKind::After, std::max<int64_t>(task.seconds, kShortestRepeat));
    return ComputeDue(clock, task.kind, task.seconds);
}
