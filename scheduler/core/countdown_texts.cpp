#include "scheduler/core/countdown_texts.h"

#include "common/text/format.h"
#include "scheduler/core/power_action.h"
#include "scheduler/res/resource.h"

std::optional<CountdownTexts> CountdownTextsFor(int32_t action) {
    switch (action) {
        case PowerAction::ShutDown:
            return CountdownTexts{IDI_ACTION_FIRST + PowerAction::ShutDown, IDS_CONFIRM_SHUT_DOWN,
                                  IDS_COUNTDOWN_SHUT_DOWN};
        case PowerAction::Restart:
            return CountdownTexts{IDI_ACTION_FIRST + PowerAction::Restart, IDS_CONFIRM_RESTART,
                                  IDS_COUNTDOWN_RESTART};
        case PowerAction::Hibernate:
            return CountdownTexts{IDI_ACTION_FIRST + PowerAction::Hibernate, IDS_CONFIRM_HIBERNATE,
                                  IDS_COUNTDOWN_HIBERNATE};
        default:
            return std::nullopt;
    }
}

std::wstring CountdownLine(const IStringTable& strings, int32_t action, int32_t secondsLeft) {
    const std::optional<CountdownTexts> texts = CountdownTextsFor(action);
    if (!texts)
        return std::wstring();
    return FormatText(strings.Load(texts->formatId),
                      {secondsLeft, strings.Load(secondsLeft < 2 ? IDS_UNIT_SECOND : IDS_UNIT_SECONDS)});
}
