#pragma once

// The update check itself: the daily gate, the version test and the fetch from the primary endpoint
// or else the fallback. It knows nothing of threads or windows; the checker that runs it holds the
// lock around it and reports its outcome.

#include <cstdint>
#include <optional>
#include <string>

#include "scheduler/core/scheduler_services.h"
#include "scheduler/core/update_request.h"

// The outcome of a check, as the worker posts it to the tray window.
enum class UpdateOutcome : int {
    Skipped = 0,    // a check already happened on this calendar day
    NoVersion = 1,  // the program has no product version to ask about
    Failed = 2,     // neither endpoint answered
    Loaded = 3,     // an answer was received and kept
};

class IUpdateFetcher {
  public:
    virtual ~IUpdateFetcher() = default;
    // The body of a GET that answered 200, decoded from UTF-8; nothing on any failure.
    virtual std::optional<std::wstring> Fetch(const std::wstring& url) = 0;
};

// Whether two moments fall on the same local calendar date. A moment the clock cannot break down
// never matches, so a broken record of the last check never stops a check.
bool IsSameLocalDate(const IClock& clock, int64_t a, int64_t b);

class CUpdateCheck {
  public:
    CUpdateCheck(const IClock& clock, IUpdateFetcher& fetcher) : m_clock(clock), m_fetcher(fetcher) {}

    // The moment the last check that loaded an answer began (seconds since 1970 UTC).
    int64_t lastCheck = 0;
    // The program's product version; empty when it has none.
    std::wstring version;
    // The user-interface language's two-letter code and the system's ISO language name.
    std::wstring lang;
    std::wstring systemLanguage;
    UpdateEndpoints endpoints;
    // The body of the last answer received.
    std::wstring response;

    // Not forced: skipped when lastCheck lies on today's local date. Forced (the user asked): always
    // asks. On success response holds the answer and lastCheck the moment this check began.
    UpdateOutcome Check(bool force);

    // The primary endpoint, then the fallback; true when either answered.
    bool Fetch();

  private:
    const IClock& m_clock;
    IUpdateFetcher& m_fetcher;
};
