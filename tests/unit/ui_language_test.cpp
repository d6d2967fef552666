#include "scheduler/core/ui_language.h"

#include <gtest/gtest.h>

#include <string>

#include "scheduler/core/os_version.h"

namespace {

TEST(UiLanguage, SetLangPicksTheLanguageAndRuntimeLocale) {
    struct Case {
        std::wstring setLang;
        uint16_t languageId;
        std::wstring crtLocale;
        std::wstring crtFallback;
    };
    const Case cases[] = {
        {L"", 0x400, L"", L""},
        {L"ko", 0x412, L"ko-KR", L"Korean_Korea.949"},
        {L"el", 0x408, L"el-GR", L"Greek_Greece.1253"},
        {L"en", 0x409, L"en-US", L"English_United States.1252"},
        // Exact and case-sensitive: everything else is English.
        {L"KO", 0x409, L"en-US", L"English_United States.1252"},
        {L"El", 0x409, L"en-US", L"English_United States.1252"},
        {L"ko-KR", 0x409, L"en-US", L"English_United States.1252"},
        {L" ko", 0x409, L"en-US", L"English_United States.1252"},
        {std::wstring(L"ko\0", 3), 0x409, L"en-US", L"English_United States.1252"},
        {L"fr", 0x409, L"en-US", L"English_United States.1252"},
    };
    for (const auto& c : cases) {
        const UiLanguage language = UiLanguageFor(c.setLang);
        EXPECT_EQ(language.languageId, c.languageId) << c.setLang.size();
        EXPECT_EQ(std::wstring(language.crtLocale), c.crtLocale) << c.setLang.size();
        EXPECT_EQ(std::wstring(language.crtLocaleFallback), c.crtFallback) << c.setLang.size();
    }
}

TEST(UiLanguage, ThreadUiLanguageOnlyAboveWindowsServer2003) {
    struct Case {
        uint32_t osVersionClass;
        bool expected;
    };
    const Case cases[] = {
        {OsVersionCode::QueryFailed, false},
        {OsVersionCode::Unknown, false},
        {0x20005, false},
        {OsVersionCode::WindowsXp, false},
        {OsVersionCode::Windows2003, false},
        {OsVersionCode::WindowsVista, true},
        {OsVersionCode::Windows7, true},
        {OsVersionCode::WindowsLater, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasThreadUiLanguage(c.osVersionClass), c.expected) << std::hex << c.osVersionClass;
}

TEST(UiLanguage, StringTablesResolveTheUsersDefaultToATableLanguage) {
    struct Case {
        uint16_t languageId;
        uint16_t userDefault;
        uint16_t expected;
    };
    const Case cases[] = {
        {0x400, 0x412, 0x412},  // the user's default when it has a table
        {0x400, 0x408, 0x408}, {0x400, 0x409, 0x409}, {0x400, 0x407, 0x409},  // German has none: English
        {0x400, 0x411, 0x409}, {0x400, 0x812, 0x412},  // another Korean variant finds the Korean table
        {0x400, 0x809, 0x409},                         // British English
        {0x400, 0x400, 0x409},                         // nothing better known
        {0x400, 0x000, 0x409}, {0x409, 0x412, 0x409},  // a chosen language ignores the user's default
        {0x412, 0x409, 0x412}, {0x408, 0x407, 0x408},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringTableLanguage(c.languageId, c.userDefault), c.expected)
            << std::hex << c.languageId << " with user default " << c.userDefault;
}

}  // namespace
