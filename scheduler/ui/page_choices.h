#pragma once

// The rules behind the main window's Home and Options pages that need no window: reading the number
// boxes, which actions the list offers, the file dialogs' filters and the sound list's entries.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The range a number box accepts. What the user types is never refused: it is brought into range.
struct BoxBounds {
    int32_t lower;
    int32_t upper;
};

inline constexpr BoxBounds kCountdownHourBounds{0, 999};
inline constexpr BoxBounds kClockHourBounds{1, 12};
inline constexpr BoxBounds kMinuteBounds{0, 59};

// The entries each number box offers in its drop-down list.
std::span<const wchar_t* const> CountdownHourEntries();
std::span<const wchar_t* const> ClockHourEntries();
std::span<const wchar_t* const> MinuteEntries();

// The leading decimal number of `text` (spaces and one sign allowed before the digits; no digits
// gives 0; a number too long for 32 bits stops at the nearest limit), brought into `bounds`.
int32_t ReadBoxNumber(std::wstring_view text, BoxBounds bounds);

// The actions of the Home page's list in their order; Sleep and Hibernate only where the system
// allows them.
std::vector<int32_t> HomePageActions(bool suspendAllowed, bool hibernateAllowed);

// The list position of `action`, or the first entry when the list does not offer it.
size_t ActionListIndex(const std::vector<int32_t>& actions, int32_t action);

// A file dialog's filter from the string table's form ("Name|*.x|...|"): every "|" becomes a
// terminator, and the whole ends with two, as the dialog requires even when the text lacks the last
// "|".
std::wstring FileDialogFilter(std::wstring_view text);

// The sound list: "No Sound", "Default Sound" and, when a file has been chosen, its name.
inline constexpr int kSoundEntryFile = 2;

// The entry shown for alarmSound in a list of `entryCount` entries: 0 and 1 as they are, the file's
// entry for -1 when it is present, else "Default Sound" (a stored -1 without a file, which the page
// itself never writes); any other value plays nothing and shows "No Sound".
int SoundListSelection(int32_t alarmSound, int entryCount);
// alarmSound for a selected entry.
int32_t AlarmSoundOfSelection(int index);
