#include "scheduler/core/due_warning.h"

#include "scheduler/res/resource.h"

std::optional<DueWarning> ChooseDueWarning(int32_t lastRemaining, int32_t remaining) {
    if (lastRemaining <= 0)
        return std::nullopt;
    const int32_t c = remaining / 60;
    const int32_t d = lastRemaining / 60;
    if (c >= d)
        return std::nullopt;

    struct Step {
        int32_t upTo;
        int32_t shown;
    };
    static constexpr Step kMinuteSteps[] = {{2, 2}, {3, 3}, {5, 5}, {10, 10}, {30, 30}};
    if (c <= 1)
        return d > 1 ? std::optional(DueWarning{IDS_NOTICE_ONE_MINUTE, 0}) : std::nullopt;
    for (const Step& step : kMinuteSteps) {
        if (c <= step.upTo)
            return d > step.shown ? std::optional(DueWarning{IDS_NOTICE_MINUTES, step.shown}) : std::nullopt;
    }

    const int32_t h = c / 60;
    if (h >= d / 60)
        return std::nullopt;
    if (h == 0)
        return DueWarning{IDS_NOTICE_ONE_HOUR, 0};
    return DueWarning{IDS_NOTICE_HOURS, h + 1};
}
