#include "scheduler/ui/tray_language_menu.h"

#include <gtest/gtest.h>

#include <string>

#include "scheduler/core/ui_language.h"

namespace {

TEST(TrayLanguageMenu, CommandsSetTheLanguageAndTheNoticeLanguage) {
    struct Case {
        uint32_t command;
        std::optional<LanguageChoice> choice;
    };
    const Case cases[] = {
        {32785, LanguageChoice{L"", 0x0C0A}},  // the user's default as the platform gives it
        {32786, LanguageChoice{L"ko", 0x412}},
        {32787, LanguageChoice{L"en", 0x409}},
        {32788, LanguageChoice{L"el", 0x408}},
        {32784, std::nullopt},
        {32789, std::nullopt},
        {32800, std::nullopt},
        {0, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LanguageChoiceFor(c.command, 0x0C0A), c.choice) << c.command;
}

TEST(TrayLanguageMenu, RadioMarkFollowsSetLang) {
    struct Case {
        std::wstring setLang;
        uint32_t command;
    };
    const Case cases[] = {
        {L"", 32785},   {L"ko", 32786},    {L"el", 32788}, {L"en", 32787}, {L"KO", 32787},
        {L"El", 32787}, {L"ko-KR", 32787}, {L"fr", 32787}, {L" ", 32787},  {std::wstring(L"\0", 1), 32787},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckedLanguageCommand(c.setLang), c.command) << testing::PrintToString(c.setLang);
}

TEST(TrayLanguageMenu, ChoiceReadsBackAsTheMarkedItemAndTheStartLanguage) {
    for (uint32_t command = TrayLanguageCommand::SystemDefault; command <= TrayLanguageCommand::Greek;
         ++command) {
        const std::optional<LanguageChoice> choice = LanguageChoiceFor(command, 0x409);
        ASSERT_TRUE(choice.has_value());
        EXPECT_EQ(CheckedLanguageCommand(choice->setLang), command);
        // The notice comes in the language the next start will use.
        const uint16_t startLanguage = UiLanguageFor(choice->setLang).languageId;
        EXPECT_EQ(choice->noticeLanguage, startLanguage == LanguageId::UserDefault ? 0x409 : startLanguage);
    }
}

}  // namespace
