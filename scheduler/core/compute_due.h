#pragma once

#include <cstdint>

#include "scheduler/core/scheduler_services.h"
#include "scheduler/core/task_record.h"

// The next due time of a countdown (kind After: now + seconds) or of a clock time (any other kind:
// seconds after local midnight, today, or tomorrow when today's is not more than a minute ahead).
//
// A clock time is placed on the local calendar rather than added to midnight in seconds, so that on
// a day of 23 or 25 hours 10:00 still means 10:00. Seconds of a day or more move it to a later day
// (25:00 is tomorrow's 01:00); a negative time is taken as that time of day. A time too far away for
// the calendar is counted in seconds from midnight, and every sum saturates, so a huge countdown is
// simply far away.
//
// Throws std::runtime_error when the current time has no usable local breakdown and
// std::invalid_argument when today's local midnight cannot be converted back.
int64_t ComputeDue(const IClock& clock, int32_t kind, int64_t seconds);

// The next due time of a stored repeating task. An "every" interval shorter than one minute (the
// home page refuses those, but the registry may hold one) counts as one minute, so a task can
// neither fire on every tick nor be due again the moment it has been rescheduled.
int64_t ComputeRepeatDue(const IClock& clock, const TaskRecord& task);

inline constexpr int64_t kSecondsPerDay = 86400;
inline constexpr int64_t kShortestRepeat = 60;
