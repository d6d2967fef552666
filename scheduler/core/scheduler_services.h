#pragma once

// Everything the scheduler needs from outside itself. Each interface has one Windows adapter and
// in-memory fakes for the tests, so the timing rules can be proven without a real clock, tray or
// power button.

#include <cstdint>
#include <optional>
#include <string>

// A local calendar time. Fields given to IClock::FromLocal may lie outside their usual ranges (a day
// of 40, say) and are carried over as the C runtime's mktime does.
struct LocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const LocalTime&) const = default;
};

class IClock {
  public:
    virtual ~IClock() = default;
    // Seconds since 1970-01-01 00:00 UTC.
    virtual int64_t Now() const = 0;
    // Nothing when the time lies outside what the runtime can break down.
    virtual std::optional<LocalTime> ToLocal(int64_t time) const = 0;
    // The moment of a local calendar time, daylight saving decided by the library; nothing when it
    // cannot be converted.
    virtual std::optional<int64_t> FromLocal(const LocalTime& local) const = 0;
};

class ITimeFormatter {
  public:
    virtual ~ITimeFormatter() = default;
    // A time of day without seconds in the user's format (hour 0..23, minute 0..59).
    virtual std::wstring FormatTimeOfDay(int hour, int minute) const = 0;
};

// The operations of the tray window that the scheduler calls.
class ITrayWindow {
  public:
    virtual ~ITrayWindow() = default;
    // Disabling also makes the tray ignore its menu and forwarded requests.
    virtual void EnableMainWindow(bool enable) = 0;
    // Shows the alarm box once the current message has been handled.
    virtual void ShowAlarm(const std::wstring& message) = 0;
    virtual void SetTooltip(const std::wstring& text) = 0;
};

class CToastLink;

class IToast {
  public:
    virtual ~IToast() = default;
    virtual void Show(const std::wstring& text,
                      const std::wstring& title,
                      uint32_t displayMilliseconds,
                      uint32_t iconGroup,
                      CToastLink* link) = 0;
};

// The modal confirmation countdown before shutting down, restarting or hibernating.
class IConfirmation {
  public:
    virtual ~IConfirmation() = default;
    // True when the countdown ended with OK (pressed, or run out).
    virtual bool Confirm(int32_t action) = 0;
};

class IPowerActions {
  public:
    virtual ~IPowerActions() = default;
    // True when the request was made.
    virtual bool Perform(int32_t action) = 0;
};

class IProgramLauncher {
  public:
    virtual ~IProgramLauncher() = default;
    // Starts a program or opens a document with its default verb; true when the shell accepted it.
    virtual bool Start(const std::wstring& file) = 0;
};

// The services one scheduler uses; none is owned.
struct SchedulerServices {
    const IClock& clock;
    const ITimeFormatter& timeFormatter;
    ITrayWindow& tray;
    IToast& toast;
    IConfirmation& confirmation;
    IPowerActions& power;
    IProgramLauncher& launcher;
};
