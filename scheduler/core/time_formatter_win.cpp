#include "scheduler/core/time_formatter_win.h"

#include <windows.h>

std::wstring CWin32TimeFormatter::FormatTimeOfDay(int hour, int minute) const {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        return std::wstring();
    SYSTEMTIME time{};
    time.wYear = 2000;
    time.wMonth = 1;
    time.wDay = 1;
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    const LCID locale = GetThreadLocale();
    const int length = GetTimeFormatW(locale, TIME_NOSECONDS, &time, nullptr, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length), L'\0');
    const int written = GetTimeFormatW(locale, TIME_NOSECONDS, &time, nullptr, text.data(), length);
    if (written <= 0)
        return std::wstring();
    text.resize(static_cast<size_t>(written - 1));
    return text;
}
