#include "scheduler/core/action_texts.h"

#include "scheduler/core/power_action.h"
#include "scheduler/res/resource.h"

namespace {

const std::wstring& UnknownText() {
    static const std::wstring text = L"Unknown";
    return text;
}

bool IsAction(int32_t action) {
    return action >= PowerAction::ShutDown && action <= PowerAction::Run;
}

}  // namespace

const std::wstring& CActionTexts::ActionName(int32_t action) const {
    return Lookup(m_names, action, IDS_ACTION_NAME_FIRST, IDS_ACTION_NAME_ALARM);
}

const std::wstring& CActionTexts::ActionDescription(int32_t action) const {
    return Lookup(m_descriptions, action, IDS_ACTION_DESCRIPTION_FIRST, IDS_ACTION_DESCRIPTION_ALARM);
}

uint32_t CActionTexts::ActionIcon(int32_t action) {
    if (!IsAction(action))
        return IDI_APP;
    if (action >= PowerAction::Alarm)
        return IDI_ACTION_ALARM + static_cast<uint32_t>(action - PowerAction::Alarm);
    return IDI_ACTION_FIRST + static_cast<uint32_t>(action);
}

// The system actions have consecutive ids; Alarm and Run were added later with a block of their own.
const std::wstring& CActionTexts::Lookup(Cache& cache,
                                         int32_t action,
                                         uint32_t firstId,
                                         uint32_t alarmId) const {
    if (!IsAction(action))
        return UnknownText();
    std::optional<std::wstring>& slot = cache[static_cast<size_t>(action)];
    if (!slot) {
        const uint32_t id = action >= PowerAction::Alarm ? alarmId + static_cast<uint32_t>(action - PowerAction::Alarm)
                                            : firstId + static_cast<uint32_t>(action);
        slot = m_strings.Load(id);
    }
    return *slot;
}
