// QPChkUpd2's string tables as compiled into this executable (checker/res/strings.rc), read back in
// exactly each language, with no fallback from one to the other.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checker/res/resource.h"
#include "common/platform/resource_string_table_win.h"
#include "resource_test_support.h"

namespace {

constexpr LANGID kCheckerLanguages[] = {kEnglish, kKorean};

const struct {
    UINT id;
    const wchar_t* english;
} kStrings[] = {
    {IDS_CHECK_FAILED, L"Unable to check the latest version. Please try again later."},
    {IDS_LATEST_INSTALLED, L"The latest version is installed."},
    {IDS_INSTALLED_UNKNOWN, L"Unable to determine which version is installed. Please reinstall."},
    {IDS_DOWNLOAD_NOT_STARTED, L"Unable to start downloading. Please try again later."},
    {IDS_DOWNLOAD_FAILED, L"Download failed. Please try again later."},
    {IDS_CANCEL_UPDATE_QUESTION, L"Are you sure you want to cancel the update?"},
    {IDS_MESSAGE_TITLE, L"Quillpack Update"},
    {IDS_MESSAGE_TITLE_X64, L"Quillpack x64 Update"},
};

bool IsDefined(UINT id) {
    for (const auto& s : kStrings) {
        if (s.id == id)
            return true;
    }
    return false;
}

bool HasHangul(const std::wstring& text) {
    for (const wchar_t c : text) {
        if (c >= 0xAC00 && c <= 0xD7A3)
            return true;
    }
    return false;
}

// The numbers of the two string blocks that hold the checker's strings, and one on either side.
std::vector<UINT> IdsAround() {
    std::vector<UINT> ids;
    for (UINT id = 0; id < 48; ++id)
        ids.push_back(id);
    for (UINT id = 57328; id < 57376; ++id)
        ids.push_back(id);
    return ids;
}

TEST(CheckerStrings, BothLanguagesHoldExactlyTheCheckersIds) {
    for (const LANGID language : kCheckerLanguages) {
        for (const UINT id : IdsAround()) {
            EXPECT_EQ(LoadStringInLanguage(nullptr, id, language).has_value(), IsDefined(id))
                << LanguageName(language) << ", string " << id;
        }
    }
    // Blocks of 16 strings, numbered from 1: the first and the one of 57344.
    for (const UINT block : {1u, 57344u / 16 + 1}) {
        EXPECT_EQ(LanguagesOf(RT_STRING, block), (std::vector<LANGID>{kEnglish, kKorean}))
            << "block " << block;
    }
}

TEST(CheckerStrings, EnglishTextsAreExact) {
    for (const auto& s : kStrings)
        EXPECT_EQ(LoadStringInLanguage(nullptr, s.id, kEnglish).value_or(L"<missing>"), s.english) << s.id;
}

// Each Korean text is its own (not English left in), written in Hangul, keeps the product's Latin
// name and "x64" wherever the English has them, and ends as the English sentence does.
TEST(CheckerStrings, KoreanTextsAreTranslationsThatKeepTheProductName) {
    for (const auto& s : kStrings) {
        SCOPED_TRACE(s.id);
        const std::wstring korean = LoadStringInLanguage(nullptr, s.id, kKorean).value_or(L"");
        const std::wstring english = s.english;
        ASSERT_FALSE(korean.empty());
        EXPECT_NE(korean, english);
        EXPECT_TRUE(HasHangul(korean)) << "no Hangul";
        for (const wchar_t* name : {L"Quillpack", L"x64"}) {
            EXPECT_EQ(korean.find(name) != std::wstring::npos, english.find(name) != std::wstring::npos)
                << "name " << std::wstring(name);
        }
        const wchar_t englishEnd = english.back();
        if (englishEnd == L'.' || englishEnd == L'?')
            EXPECT_EQ(korean.back(), englishEnd);
        else
            EXPECT_TRUE(korean.back() != L'.' && korean.back() != L'?') << "a title has no full stop";
    }
    // The titles differ only in "x64 ", as in English.
    const std::wstring title = LoadStringInLanguage(nullptr, IDS_MESSAGE_TITLE, kKorean).value_or(L"");
    const std::wstring x64 = LoadStringInLanguage(nullptr, IDS_MESSAGE_TITLE_X64, kKorean).value_or(L"");
    ASSERT_NE(x64.find(L"x64 "), std::wstring::npos);
    EXPECT_EQ(std::wstring(x64).erase(x64.find(L"x64 "), 4), title);
}

// The table the program picks for a language other than these two is the English one.
TEST(CheckerStrings, OtherLanguagesFallBackToEnglish) {
    const CResourceStringTable greek(nullptr, kGreek);
    for (const auto& s : kStrings)
        EXPECT_EQ(greek.Load(s.id), s.english) << s.id;
    const CResourceStringTable korean(nullptr, kKorean);
    EXPECT_EQ(korean.Load(IDS_MESSAGE_TITLE), L"Quillpack \uC5C5\uB370\uC774\uD2B8");
}

}  // namespace
