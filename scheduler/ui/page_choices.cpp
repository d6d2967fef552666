#include "scheduler/ui/page_choices.h"

#include <algorithm>
#include <array>
#include <limits>

#include "scheduler/core/power_action.h"

namespace {

constexpr std::array<const wchar_t*, 13> kCountdownHours{L"0", L"1", L"2", L"3",  L"4",  L"5", L"6",
                                                         L"7", L"8", L"9", L"10", L"24", L"48"};
constexpr std::array<const wchar_t*, 12> kClockHours{L"1", L"2", L"3", L"4",  L"5",  L"6",
                                                     L"7", L"8", L"9", L"10", L"11", L"12"};
constexpr std::array<const wchar_t*, 6> kMinutes{L"0", L"5", L"10", L"15", L"30", L"45"};

bool IsSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

// The value of the leading number, kept within 64 bits: the caller clamps it far below that.
int64_t LeadingNumber(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    constexpr int64_t kLimit = int64_t{1} << 40;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = std::min(value * 10 + (text[i] - L'0'), kLimit);
    return negative ? -value : value;
}

}  // namespace

std::span<const wchar_t* const> CountdownHourEntries() {
    return kCountdownHours;
}

std::span<const wchar_t* const> ClockHourEntries() {
    return kClockHours;
}

std::span<const wchar_t* const> MinuteEntries() {
    return kMinutes;
}

int32_t ReadBoxNumber(std::wstring_view text, BoxBounds bounds) {
    const int64_t value = LeadingNumber(text);
    if (value < bounds.lower)
        return bounds.lower;
    return static_cast<int32_t>(std::min<int64_t>(value, bounds.upper));
}

std::vector<int32_t> HomePageActions(bool suspendAllowed, bool hibernateAllowed) {
    std::vector<int32_t> actions{PowerAction::ShutDown, PowerAction::Restart};
    if (suspendAllowed)
        actions.push_back(PowerAction::Sleep);
    if (hibernateAllowed)
        actions.push_back(PowerAction::Hibernate);
    for (int32_t action : {PowerAction::DisplayOff, PowerAction::ScreenSaver, PowerAction::LockWindows,
                           PowerAction::Alarm, PowerAction::Run})
        actions.push_back(action);
    return actions;
}

size_t ActionListIndex(const std::vector<int32_t>& actions, int32_t action) {
    const auto found = std::find(actions.begin(), actions.end(), action);
    return found == actions.end() ? 0 : static_cast<size_t>(found - actions.begin());
}

std::wstring FileDialogFilter(std::wstring_view text) {
    std::wstring filter(text);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    // Two terminators end the list; the string itself supplies the last one.
    if (filter.empty() || filter.back() != L'\0')
        filter.push_back(L'\0');
    return filter;
}

int SoundListSelection(int32_t alarmSound, int entryCount) {
    if (alarmSound == -1)
        return entryCount > kSoundEntryFile ? kSoundEntryFile : 1;
    // A value no version writes sounds like nothing; the list says so.
    return alarmSound == 1 ? 1 : 0;
}

int32_t AlarmSoundOfSelection(int index) {
    return index == kSoundEntryFile ? -1 : index;
}
