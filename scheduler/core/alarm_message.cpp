#include "scheduler/core/alarm_message.h"

#include "scheduler/core/utf16_units.h"

std::wstring PadAlarmMessage(std::wstring_view message) {
    constexpr size_t kMinimumUnits = 20;
    std::wstring text(message);
    const size_t length = Utf16Length(message);
    if (length < kMinimumUnits)
        text.append(kMinimumUnits - length, L' ');
    return text;
}
