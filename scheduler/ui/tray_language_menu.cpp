#include "scheduler/ui/tray_language_menu.h"

#include "scheduler/core/ui_language.h"

std::optional<LanguageChoice> LanguageChoiceFor(uint32_t command, uint16_t userDefaultLanguage) {
    switch (command) {
        case TrayLanguageCommand::SystemDefault:
            // An empty string, not L"": GCC 12 at -O3 with the precompiled standard headers takes the
            // one-unit literal for a longer copy and warns (-Warray-bounds).
            return LanguageChoice{std::wstring(), userDefaultLanguage};
        case TrayLanguageCommand::Korean:
            return LanguageChoice{L"ko", LanguageId::Korean};
        case TrayLanguageCommand::English:
            return LanguageChoice{L"en", LanguageId::English};
        case TrayLanguageCommand::Greek:
            return LanguageChoice{L"el", LanguageId::Greek};
        default:
            return std::nullopt;
    }
}

uint32_t CheckedLanguageCommand(std::wstring_view setLang) {
    if (setLang.empty())
        return TrayLanguageCommand::SystemDefault;
    if (setLang == L"ko")
        return TrayLanguageCommand::Korean;
    if (setLang == L"el")
        return TrayLanguageCommand::Greek;
    return TrayLanguageCommand::English;
}
