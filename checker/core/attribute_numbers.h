#pragma once

// Numbers in the version document's attributes, read the way the C library reads a number at the
// start of a wide string, but the same on every platform: no locale, no hexadecimal forms, and no
// overflow that is undefined or silently wraps.

#include <cstdint>
#include <string_view>

// Leading blanks (space, tab, line feed, vertical tab, form feed, carriage return), an optional sign
// and decimal digits up to the first other character. No digits gives 0; a value beyond 32 bits
// gives the nearest of INT32_MIN and INT32_MAX.
int32_t ReadAttributeInteger(std::wstring_view text);

// Leading blanks, an optional sign, digits with at most one ".", then an optional exponent
// ("e" or "E", optional sign, digits); also "inf" and "infinity" in any case. No number gives 0.0,
// and so does "nan": a value that orders against nothing has no meaning as a share. A value beyond
// the range of a double gives an infinity of its sign; one too small for it gives zero.
double ReadAttributeReal(std::wstring_view text);
