#include "scheduler/core/schedule_entry.h"

#include "scheduler/core/power_action.h"

namespace {

int32_t ActionRank(int32_t action) {
    if (action == PowerAction::Sleep)
        return PowerAction::Hibernate;
    if (action == PowerAction::Hibernate)
        return PowerAction::Sleep;
    return action;
}

}  // namespace

bool EntryBefore(const ScheduleEntry& a, const ScheduleEntry& b) {
    if (a.due != b.due)
        return a.due < b.due;
    if (a.action != b.action)
        return ActionRank(a.action) < ActionRank(b.action);
    return a.taskIndex > b.taskIndex;
}
