#include "checker/core/checker_language.h"

namespace {

// The low ten bits of a language identifier are its primary language.
constexpr uint16_t kPrimaryLanguageMask = 0x03FF;
constexpr uint16_t kPrimaryKorean = 0x12;

}  // namespace

uint16_t CheckerResourceLanguage(uint16_t userUiLanguage) {
    return (userUiLanguage & kPrimaryLanguageMask) == kPrimaryKorean ? kCheckerKorean : kCheckerEnglish;
}
