#pragma once

// The Language submenu of the tray menu: which command sets which language, which language the
// restart notice is loaded in, and which item carries the radio mark.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "scheduler/res/resource.h"

// The menu's own command numbers, typed.
namespace TrayLanguageCommand {
constexpr uint32_t SystemDefault = ID_LANG_SYSTEM;
constexpr uint32_t Korean = ID_LANG_KOREAN;
constexpr uint32_t English = ID_LANG_ENGLISH;
constexpr uint32_t Greek = ID_LANG_GREEK;
// The radio group spans these, so items added to the submenu later stay in the group.
constexpr uint32_t RadioFirst = ID_LANG_SYSTEM;
constexpr uint32_t RadioLast = ID_LANG_LAST_RADIO;
}  // namespace TrayLanguageCommand

struct LanguageChoice {
    std::wstring setLang;         // the SetLang setting the command stores
    uint16_t noticeLanguage = 0;  // the string table the restart notice is loaded from

    bool operator==(const LanguageChoice&) const = default;
};

// Nothing for a command outside the submenu. The system default's notice is in the user's default
// language, which the caller reads from the platform.
std::optional<LanguageChoice> LanguageChoiceFor(uint32_t command, uint16_t userDefaultLanguage);

// The item with the radio mark: "" is the system default, "ko" Korean, "el" Greek (exact,
// case-sensitive, as the start-up reads them) and any other value English.
uint32_t CheckedLanguageCommand(std::wstring_view setLang);
