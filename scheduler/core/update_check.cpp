#include "scheduler/core/update_check.h"

bool IsSameLocalDate(const IClock& clock, int64_t a, int64_t b) {
    const std::optional<LocalTime> localA = clock.ToLocal(a);
    const std::optional<LocalTime> localB = clock.ToLocal(b);
    if (!localA || !localB)
        return false;
    return localA->year == localB->year && localA->month == localB->month && localA->day == localB->day;
}

UpdateOutcome CUpdateCheck::Check(bool force) {
    const int64_t now = m_clock.Now();
    if (!force && IsSameLocalDate(m_clock, now, lastCheck))
        return UpdateOutcome::Skipped;
    if (version.empty())
        return UpdateOutcome::NoVersion;
    if (!Fetch())
        return UpdateOutcome::Failed;
    lastCheck = now;
    return UpdateOutcome::Loaded;
}

bool CUpdateCheck::Fetch() {
    for (const std::wstring* base : {&endpoints.primary, &endpoints.fallback}) {
        if (base->empty())
            continue;
        std::optional<std::wstring> body =
            m_fetcher.Fetch(BuildUpdateUrl(*base, version, lang, systemLanguage));
        if (body) {
            response = std::move(*body);
            return true;
        }
    }
    return false;
}
