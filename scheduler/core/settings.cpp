#include "scheduler/core/settings.h"

#include <stdexcept>

int64_t CSettings::ScheduleSeconds() const {
    if (type == 0)
        return int64_t{min1} * 60 + int64_t{hour1} * 3600;
    int64_t hour = hour2 == 12 ? 0 : hour2;
    if (ampm != 0)
        hour += 12;
    return int64_t{min2} * 60 + hour * 3600;
}

size_t CSettings::AddTask(const TaskRecord& task) {
    tasks.push_back(task);
    return tasks.size() - 1;
}

void CSettings::RemoveTask(size_t index) {
    if (index >= tasks.size())
        throw std::invalid_argument("task index out of range");
    tasks.erase(tasks.begin() + static_cast<std::ptrdiff_t>(index));
}

const TaskRecord& CSettings::Task(size_t index) const {
    if (index >= tasks.size())
        throw std::invalid_argument("task index out of range");
    return tasks[index];
}
