#include "checker/core/checker_state.h"

#include "checker/core/checker_keys.h"
#include "checker/core/checker_values.h"

int64_t CCheckerState::LoadedTime() const {
    return ReadTime(kLoadedValue);
}

int64_t CCheckerState::CheckedTime() const {
    return ReadTime(kCheckedValue);
}

ReminderPeriod CCheckerState::Period() const {
    const auto key = m_registry.Open(RegistryRoot::CurrentUser, kCheckerStateKeyPath, RegistryAccess::Read);
    return key ? ReadReminderPeriod(*key) : ReminderPeriod::NextDay;
}

bool CCheckerState::SetLoadedTime(int64_t time) {
    return WriteTime(kLoadedValue, time);
}

bool CCheckerState::SetCheckedTime(int64_t time) {
    return WriteTime(kCheckedValue, time);
}

bool CCheckerState::SetPeriod(ReminderPeriod period) {
    const auto key =
        m_registry.Create(RegistryRoot::CurrentUser, kCheckerStateKeyPath, RegistryAccess::AllAccess);
    return key && WriteReminderPeriod(*key, period);
}

int64_t CCheckerState::ReadTime(const wchar_t* name) const {
    const auto key = m_registry.Open(RegistryRoot::CurrentUser, kCheckerStateKeyPath, RegistryAccess::Read);
    return key ? ReadStoredTime(*key, name) : 0;
}

bool CCheckerState::WriteTime(const wchar_t* name, int64_t time) {
    const auto key =
        m_registry.Create(RegistryRoot::CurrentUser, kCheckerStateKeyPath, RegistryAccess::AllAccess);
    return key && WriteStoredTime(*key, name, time);
}
