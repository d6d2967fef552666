#pragma once

// Counting and cutting text in UTF-16 code units, the unit that Windows fields and messages are
// sized in. On Windows a wchar_t is one unit; where wchar_t is 32 bits a character beyond U+FFFF
// takes two, so both builds agree on every length and every cut.

#include <cstddef>
#include <string>
#include <string_view>

// The UTF-16 units of a text. Characters beyond U+FFFF (only possible where wchar_t is 32 bits)
// become surrogate pairs, values no UTF-16 can hold become U+FFFD; a lone surrogate stays one unit.
std::u16string ToUtf16Units(std::wstring_view text);

// The text of UTF-16 units. Where wchar_t is 32 bits a surrogate pair becomes one character and an
// unpaired surrogate is kept as it is, as Windows keeps it.
std::wstring FromUtf16Units(std::u16string_view units);

size_t Utf16Length(std::wstring_view text);

// The longest start of the text that fits in maxUnits UTF-16 units without splitting a surrogate
// pair: a pair that would straddle the cut is left out whole.
std::wstring CutToUtf16Units(std::wstring_view text, size_t maxUnits);
