// CSettings::ApplyLanguage against the real thread and C runtime locales. Wine 8 has no thread UI
// language (SetThreadUILanguage is a stub), so only the locales are checked.
#include <windows.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "common/platform/resource_string_table_win.h"
#include "scheduler/core/settings.h"
#include "scheduler/core/ui_language_win.h"
#include "scheduler/res/resource.h"

namespace {

class ApplyLanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_threadLocale = ::GetThreadLocale();
        const wchar_t* runtime = _wsetlocale(LC_ALL, nullptr);
        m_runtimeLocale = runtime ? runtime : L"C";
    }
    void TearDown() override {
        ::SetThreadLocale(m_threadLocale);
        _wsetlocale(LC_ALL, m_runtimeLocale.c_str());
    }

    static void Apply(const std::wstring& setLang) {
        CSettings settings;
        settings.setLang = setLang;
        settings.ApplyLanguage();
    }

  private:
    LCID m_threadLocale = 0;
    std::wstring m_runtimeLocale;
};

TEST_F(ApplyLanguageTest, SetsTheThreadAndRuntimeLocales) {
    const struct {
        const wchar_t* setLang;
        LANGID language;
        unsigned codePage;
    } cases[] = {
        {L"ko", 0x412, 949},  {L"el", 0x408, 1253},    {L"en", 0x409, 1252},
        {L"KO", 0x409, 1252}, {L"el-GR", 0x409, 1252}, {L"ko", 0x412, 949},  // back again after English
    };
    for (const auto& c : cases) {
        Apply(c.setLang);
        EXPECT_EQ(::GetThreadLocale(), MAKELCID(c.language, SORT_DEFAULT)) << c.setLang;
        // The runtime's own code page shows which locale it took.
        EXPECT_EQ(___lc_codepage_func(), c.codePage) << c.setLang;
    }
}

TEST_F(ApplyLanguageTest, EmptySetLangGoesBackToTheUsersDefaults) {
    Apply(L"el");
    ASSERT_EQ(::GetThreadLocale(), MAKELCID(0x408, SORT_DEFAULT));
    Apply(L"");
    EXPECT_EQ(::GetThreadLocale(), ::GetUserDefaultLCID());
    EXPECT_EQ(___lc_codepage_func(), ::GetACP());
}

// Run by the Greek test entry (LC_ALL=el_GR.UTF-8 and QP_EXPECT_USER_LANG=0x408), where the user's
// default language is Greek; skipped elsewhere.
TEST_F(ApplyLanguageTest, UsersDefaultLanguageChoosesItsTable) {
    if (const char* expected = std::getenv("QP_EXPECT_USER_LANG")) {
        ASSERT_EQ(::GetUserDefaultLangID(), std::strtoul(expected, nullptr, 0));
    } else if (::GetUserDefaultLangID() != 0x408) {
        GTEST_SKIP() << "user language " << std::hex << ::GetUserDefaultLangID()
                     << "; the Greek test entry runs this";
    }
    EXPECT_EQ(StringTableLanguageFor(L""), 0x408);
    EXPECT_EQ(StringTableLanguageFor(L"ko"), 0x412);
    EXPECT_EQ(StringTableLanguageFor(L"en"), 0x409);
    EXPECT_EQ(CResourceStringTable(nullptr, StringTableLanguageFor(L"")).Load(IDS_LANGUAGE_CODE), L"el");

    Apply(L"");
    EXPECT_EQ(::GetThreadLocale(), MAKELCID(0x408, SORT_DEFAULT));
    EXPECT_EQ(___lc_codepage_func(), 1253u);
}

}  // namespace
