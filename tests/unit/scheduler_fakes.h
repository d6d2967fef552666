#pragma once

// In-memory stand-ins for everything the scheduler reaches outside itself, with a clock that keeps
// Central European time (UTC+1, summer time UTC+2 from the last Sunday of March to the last Sunday
// of October, switching at 01:00 UTC) so daylight-saving days can be driven second by second.

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/platform/string_table.h"
#include "scheduler/core/scheduler_services.h"

namespace scheduler_test {

// Days since 1970-01-01 of a proleptic Gregorian date; months outside 1..12 carry into the year.
inline int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    const int64_t monthIndex = month - 1;
    const int64_t carry = monthIndex >= 0 ? monthIndex / 12 : -((-monthIndex + 11) / 12);
    year += carry;
    month = monthIndex - carry * 12 + 1;
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + (day - 1);
}

inline LocalTime CivilFromSeconds(int64_t seconds) {
    int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    const int64_t rest = seconds - days * 86400;
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2);
    return {static_cast<int>(year),
            static_cast<int>(month),
            static_cast<int>(day),
            static_cast<int>(rest / 3600),
            static_cast<int>(rest % 3600 / 60),
            static_cast<int>(rest % 60)};
}

// A UTC instant.
inline int64_t Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

class FakeClock : public IClock {
  public:
    int64_t now = Utc(2024, 6, 10, 8, 0, 0);  // 10:00 summer time
    bool failToLocal = false;
    bool failFromLocal = false;
    int lastYear = 3000;  // as the Windows runtime: later times have no breakdown

    // A tick that never ends shows up as running out of reads instead of hanging the test.
    mutable int64_t readsLeft = std::numeric_limits<int64_t>::max();

    int64_t Now() const override {
        if (readsLeft-- <= 0)
            throw std::runtime_error("the clock was read too often");
        return now;
    }

    std::optional<LocalTime> ToLocal(int64_t time) const override {
        if (failToLocal || time < 0 || time >= Utc(lastYear + 1, 1, 1))
            return std::nullopt;
        const LocalTime local = CivilFromSeconds(time + OffsetAt(time));
        if (local.year < 1970 || local.year > lastYear)
            return std::nullopt;
        return local;
    }

    std::optional<int64_t> FromLocal(const LocalTime& local) const override {
        if (failFromLocal)
            return std::nullopt;
        const int64_t wall = DaysFromCivil(local.year, local.month, local.day) * 86400 +
                             int64_t{local.hour} * 3600 + int64_t{local.minute} * 60 + local.second;
        const int64_t asSummer = wall - 7200;
        const int64_t asWinter = wall - 3600;
        // In the hour repeated in autumn the earlier reading; in the hour skipped in spring the winter
        // reading, which lands an hour later on the wall clock.
        const int64_t time = OffsetAt(asSummer) == 7200 ? asSummer : asWinter;
        if (CivilFromSeconds(time).year > lastYear)
            return std::nullopt;
        return time;
    }

    void SetLocal(int year, int month, int day, int hour, int minute, int second) {
        now = *FromLocal({year, month, day, hour, minute, second});
    }

    static int64_t OffsetAt(int64_t time) {
        const int year = CivilFromSeconds(time).year;
        return time >= LastSundayAt1Utc(year, 3) && time < LastSundayAt1Utc(year, 10) ? 7200 : 3600;
    }

  private:
    static int64_t LastSundayAt1Utc(int year, int month) {
        const int64_t lastDay = DaysFromCivil(year, month + 1, 1) - 1;
        const int64_t weekday = ((lastDay + 4) % 7 + 7) % 7;  // 1970-01-01 was a Thursday; 0 = Sunday
        return (lastDay - weekday) * 86400 + 3600;
    }
};

// "HH:MM", enough to see which time of day was asked for.
class FakeTimeFormatter : public ITimeFormatter {
  public:
    std::wstring FormatTimeOfDay(int hour, int minute) const override {
        const auto twoDigits = [](int n) {
            return std::wstring{wchar_t(L'0' + n / 10), wchar_t(L'0' + n % 10)};
        };
        return twoDigits(hour) + L":" + twoDigits(minute);
    }
};

// The English table of Tivolan, as far as the scheduler uses it.
class FakeStringTable : public IStringTable {
  public:
    std::map<uint32_t, std::wstring> texts{
        {128, L"Tivolan"},
        {135, L"Shut down"},
        {136, L"Restart"},
        {137, L"Sleep"},
        {138, L"Hibernate"},
        {139, L"Display Off"},
        {140, L"Screen Saver"},
        {141, L"Lock Windows"},
        {142, L"Shut down Windows"},
        {143, L"Restart Windows"},
        {144, L"Put the computer to sleep"},
        {145, L"Saves current session and shut down Windows"},
        {146, L"Turn off the display"},
        {147, L"Start the screen saver"},
        {148, L"Lock Windows"},
        {149, L"Every %d %s %d %s"},
        {150, L"Every %d %s"},
        {151, L"Daily at %s"},
        {152, L"None"},
        {156, L"%s in 1 minute."},
        {157, L"$2 in $1 minutes."},
        {158, L"%s in 1 hour."},
        {159, L"$2 in $1 hours."},
        {167, L"hour"},
        {168, L"hours"},
        {169, L"min"},
        {170, L"mins"},
        {178, L"$2 at $1."},
        {183, L"Alarm"},
        {184, L"Run"},
        {185, L"Show an alarm message"},
        {186, L"Run a program"},
    };
    mutable std::map<uint32_t, int> loads;

    std::wstring Load(uint32_t id) const override {
        ++loads[id];
        const auto it = texts.find(id);
        return it == texts.end() ? std::wstring() : it->second;
    }
};

// What happened, in order, across the tray, the confirmation and the actions.
using EventLog = std::vector<std::wstring>;

class FakeTray : public ITrayWindow {
  public:
    explicit FakeTray(EventLog& log) : m_log(log) {}
    std::wstring tooltip;
    bool mainWindowEnabled = true;

    void EnableMainWindow(bool enable) override {
        mainWindowEnabled = enable;
        m_log.push_back(enable ? L"enable" : L"disable");
    }
    void ShowAlarm(const std::wstring& message) override { m_log.push_back(L"alarm " + message); }
    void SetTooltip(const std::wstring& text) override { tooltip = text; }

  private:
    EventLog& m_log;
};

struct Toast {
    std::wstring text;
    std::wstring title;
    uint32_t milliseconds = 0;
    uint32_t icon = 0;
    int64_t shownAt = 0;
};

class FakeToast : public IToast {
  public:
    explicit FakeToast(const FakeClock& clock) : m_clock(clock) {}
    std::vector<Toast> shown;

    void Show(const std::wstring& text,
              const std::wstring& title,
              uint32_t displayMilliseconds,
              uint32_t iconGroup,
              CToastLink* link) override {
        EXPECT_EQ(link, nullptr);
        shown.push_back({text, title, displayMilliseconds, iconGroup, m_clock.now});
    }

  private:
    const FakeClock& m_clock;
};

class FakeConfirmation : public IConfirmation {
  public:
    explicit FakeConfirmation(EventLog& log) : m_log(log) {}
    bool answer = true;
    std::function<void()> whileOpen;  // runs inside the countdown, as its message loop would

    bool Confirm(int32_t action) override {
        m_log.push_back(L"confirm " + std::to_wstring(action));
        if (whileOpen)
            whileOpen();
        return answer;
    }

  private:
    EventLog& m_log;
};

class FakePower : public IPowerActions {
  public:
    FakePower(EventLog& log, const FakeClock& clock) : m_log(log), m_clock(clock) {}
    std::vector<int64_t> times;

    bool Perform(int32_t action) override {
        m_log.push_back(L"perform " + std::to_wstring(action));
        times.push_back(m_clock.now);
        return true;
    }

  private:
    EventLog& m_log;
    const FakeClock& m_clock;
};

class FakeLauncher : public IProgramLauncher {
  public:
    explicit FakeLauncher(EventLog& log) : m_log(log) {}
    std::function<void()> whileStarting;  // the shell may run a message loop

    bool Start(const std::wstring& file) override {
        m_log.push_back(L"run " + file);
        if (whileStarting)
            whileStarting();
        return true;
    }

  private:
    EventLog& m_log;
};

}  // namespace scheduler_test
