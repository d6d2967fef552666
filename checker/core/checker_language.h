#pragma once

// The language the checker's dialogs and strings are loaded in: Korean for a user whose interface
// language is any Korean variant, English for everyone else.

#include <cstdint>

inline constexpr uint16_t kCheckerEnglish = 0x0409;
inline constexpr uint16_t kCheckerKorean = 0x0412;

// `userUiLanguage` is a language identifier as GetUserDefaultUILanguage gives it.
uint16_t CheckerResourceLanguage(uint16_t userUiLanguage);
