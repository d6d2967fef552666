#pragma once

#include <functional>
#include <string>

// One call of the platform's conversion to UTF-16 (MultiByteToWideChar with flags 0): converts
// `length` bytes into at most `capacity` characters, or with a capacity of 0 only measures. Returns
// the characters written or needed, or 0 with `error` set to the system's error code.
using WideConversion = std::function<
    int(unsigned codePage, const char* bytes, int length, wchar_t* out, int capacity, unsigned long& error)>;

inline constexpr unsigned long kErrorInsufficientBuffer = 122;
inline constexpr unsigned long kErrorArithmeticOverflow = 534;

// The first conversion goes into a buffer of this many characters, enough for most short answers.
inline constexpr int kFirstConversionChars = 128;

// Turns a whole body into text in one conversion, so that no multi-byte character is ever split.
// The code page is chosen by BodyCodePage. A buffer that is too small is grown to the size a
// measuring call reports.
// Throws std::system_error with the system's error code when the conversion fails for any other
// reason. An empty body is an empty text and never reaches the conversion.
std::wstring DecodeBodyText(const std::string& bytes,
                            unsigned requestedCodePage,
                            const WideConversion& convert);
