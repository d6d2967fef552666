// Tivolan's string tables as compiled into this executable (scheduler/res/strings.rc), read back
// through the resource string table in each language.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "common/platform/resource_string_table_win.h"
#include "scheduler/res/resource.h"
#include "string_fallback_ids.h"

namespace {

constexpr LANGID kEnglish = 0x409;
constexpr LANGID kKorean = 0x412;
constexpr LANGID kGreek = 0x408;
constexpr LANGID kLanguages[] = {kEnglish, kKorean, kGreek};

// 160 and 179 have no text in any language.
bool IsDefined(uint32_t id) {
    return id >= IDS_APP_NAME && id <= IDS_LANGUAGE_RESTART_NOTICE && id != 160 && id != 179;
}

// The ids every table is checked over: whole blocks around Tivolan's range.
std::vector<uint32_t> IdsAround() {
    std::vector<uint32_t> ids;
    for (uint32_t id = 112; id < 224; ++id)
        ids.push_back(id);
    return ids;
}

std::wstring Exact(uint32_t id, LANGID language) {
    return LoadStringInLanguage(nullptr, id, language).value_or(L"<missing>");
}

// The "%" directives in order (the formatter fills them in turn, so a translation must keep their
// order), and the "$" replacements and line breaks, which may move.
struct Placeholders {
    std::vector<std::wstring> directives;
    std::multiset<std::wstring> movable;
};

Placeholders PlaceholdersOf(const std::wstring& text) {
    Placeholders found;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t next = i + 1 < text.size() ? text[i + 1] : L'\0';
        if (text[i] == L'%' && next != L'\0') {
            if (next != L'%')
                found.directives.push_back(text.substr(i, 2));
            ++i;
        } else if (text[i] == L'$' && (next == L'1' || next == L'2')) {
            found.movable.insert(text.substr(i, 2));
            ++i;
        } else if (text[i] == L'\n') {
            found.movable.insert(L"\\n");
        }
    }
    return found;
}

std::vector<std::wstring> SplitAtBars(const std::wstring& text) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t bar; (bar = text.find(L'|', start)) != std::wstring::npos; start = bar + 1)
        parts.push_back(text.substr(start, bar - start));
    parts.push_back(text.substr(start));
    return parts;
}

TEST(TivolanStrings, EveryLanguageHoldsExactlyTheDefinedIds) {
    for (const LANGID language : kLanguages) {
        for (const uint32_t id : IdsAround()) {
            EXPECT_EQ(LoadStringInLanguage(nullptr, id, language).has_value(), IsDefined(id))
                << "language " << std::hex << language << std::dec << ", string " << id;
        }
    }
}

TEST(TivolanStrings, EnglishTextsAreUsedExactlyAsWritten) {
    const struct {
        uint32_t id;
        const wchar_t* text;
    } cases[] = {
        {IDS_APP_NAME, L"Tivolan"},
        {IDS_REPEAT_NOT_POSSIBLE, L"The time interval can not be repeated.\nPlease try again."},
        {IDS_REPEAT_CONFIRM,
         L"Schedule a repeative task with current settings.\nScheduled Tasks can be found in the Schedule "
         L"tab."},
        {IDS_ACTION_NAME_SHUT_DOWN, L"Shut down"},
        {IDS_ACTION_DESCRIPTION_HIBERNATE, L"Saves current session and shut down Windows"},
        {IDS_REPEAT_EVERY_HOURS_MINUTES, L"Every %d %s %d %s"},
        {IDS_NOTICE_MINUTES, L"$2 in $1 minutes."},
        {IDS_COUNTDOWN_HIBERNATE, L"The system will save current session and shut down in %d %s."},
        {IDS_UNIT_SECOND, L"secound"},
        {IDS_UNIT_SECONDS, L"seconds"},
        {IDS_LANGUAGE_CODE, L"en"},
        {IDS_UPDATE_QUESTION,
         L"A newer version is available.\n%s\n\nClick on [OK] button to check out the new version."},
        {IDS_NOTICE_AT, L"$2 at $1."},
        {IDS_ACTION_NAME_ALARM, L"Alarm"},
        {IDS_RUN_FILTER,
         L"Program files (*.exe;*.pif;*.com;*.bat;*.cmd)|*.exe;*.pif;*.com;*.bat;*.cmd|All files (*.*)|*.*|"},
        {IDS_SOUND_FILTER, L"Sound files (*.wav;*.mp3)|*.wav;*.mp3|All files (*.*)|*.*|"},
        {IDS_LANGUAGE_RESTART_NOTICE,
         L"Language settings will not take effect until you restart the program."},
    };
    const CResourceStringTable english(nullptr, kEnglish);
    for (const auto& c : cases)
        EXPECT_EQ(english.Load(c.id), c.text) << c.id;
}

// Also proves that the UTF-8 script reached the tables as the right UTF-16 text.
TEST(TivolanStrings, KoreanAndGreekTextsLoadInTheirLanguage) {
    const struct {
        LANGID language;
        uint32_t id;
        const wchar_t* text;
    } cases[] = {
        {kKorean, IDS_ACTION_NAME_SHUT_DOWN, L"시스템 종료"},
        {kKorean, IDS_LANGUAGE_CODE, L"ko"},
        {kKorean, IDS_NOTICE_MINUTES, L"$2까지 $1분 남았습니다."},
        {kKorean, IDS_AM, L"오전"},
        {kGreek, IDS_TAB_HOME, L"Αρχική"},
        {kGreek, IDS_LANGUAGE_CODE, L"el"},
        {kGreek, IDS_CONFIRM_SHUT_DOWN, L"Θέλετε σίγουρα να τερματίσετε τώρα τα Windows;"},
        {kGreek, IDS_UNIT_SECONDS, L"δευτερόλεπτα"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CResourceStringTable(nullptr, c.language).Load(c.id), c.text) << c.language << " " << c.id;
}

TEST(TivolanStrings, TranslationsKeepEveryPlaceholderOfEnglish) {
    for (const uint32_t id : IdsAround()) {
        if (!IsDefined(id))
            continue;
        const Placeholders english = PlaceholdersOf(Exact(id, kEnglish));
        for (const LANGID language : {kKorean, kGreek}) {
            const Placeholders translated = PlaceholdersOf(Exact(id, language));
            EXPECT_EQ(translated.directives, english.directives) << "string " << id << ", " << language;
            EXPECT_EQ(translated.movable, english.movable) << "string " << id << ", " << language;
        }
    }
}

TEST(TivolanStrings, FileFiltersKeepTheirPatterns) {
    for (const uint32_t id : {IDS_RUN_FILTER, IDS_SOUND_FILTER}) {
        const auto english = SplitAtBars(Exact(id, kEnglish));
        for (const LANGID language : {kKorean, kGreek}) {
            const auto translated = SplitAtBars(Exact(id, language));
            ASSERT_EQ(translated.size(), english.size()) << id << " " << language;
            for (size_t i = 0; i < english.size(); ++i) {
                // Names at even places are translated; patterns at odd places and the empty end stay.
                if (i % 2 == 1 || i + 1 == english.size())
                    EXPECT_EQ(translated[i], english[i]) << id << " " << language << " part " << i;
                else
                    EXPECT_NE(translated[i], english[i]) << id << " " << language << " part " << i;
            }
        }
    }
}

TEST(TivolanStrings, OnlyNamesAndAddressesStayInEnglish) {
    const std::set<uint32_t> sameInKorean = {IDS_APP_NAME};
    const std::set<uint32_t> sameInGreek = {IDS_APP_NAME, IDS_PRODUCT_PAGE_URL};
    std::set<uint32_t> korean, greek;
    for (const uint32_t id : IdsAround()) {
        if (!IsDefined(id))
            continue;
        if (Exact(id, kKorean) == Exact(id, kEnglish))
            korean.insert(id);
        if (Exact(id, kGreek) == Exact(id, kEnglish))
            greek.insert(id);
    }
    EXPECT_EQ(korean, sameInKorean);
    EXPECT_EQ(greek, sameInGreek);
}

TEST(TivolanStrings, ProductPagePerLanguageOnTheConfiguredHost) {
    const std::wstring host = L"https://" TIVOLAN_PRODUCT_HOST;
    EXPECT_EQ(Exact(IDS_PRODUCT_PAGE_URL, kEnglish), host + L"/en/tivolan/");
    EXPECT_EQ(Exact(IDS_PRODUCT_PAGE_URL, kKorean), host + L"/ko/tivolan/");
    EXPECT_EQ(Exact(IDS_PRODUCT_PAGE_URL, kGreek), host + L"/en/tivolan/");
}

TEST(ResourceStringTable, FallsBackToEnglishForWhatALanguageLacks) {
    const struct {
        const char* what;
        LANGID language;
        uint32_t id;
        const wchar_t* loaded;
    } cases[] = {
        {"string missing from a block the language has", kKorean, IDS_TEST_ENGLISH_ONLY, L"English only"},
        {"block the language lacks", kKorean, IDS_TEST_ENGLISH_BLOCK, L"English block"},
        {"language with none of these blocks", kGreek, IDS_TEST_TRANSLATED, L"Translated"},
        {"language the module lacks", 0x407, IDS_ACTION_NAME_SHUT_DOWN, L"Shut down"},
        {"English variant the module lacks", 0x809, IDS_TAB_HOME, L"Home"},
        {"translated string", kKorean, IDS_TEST_TRANSLATED, L"번역됨"},
        {"string in no table", kKorean, IDS_TEST_UNDEFINED, L""},
        {"string in no table, English", kEnglish, IDS_TEST_UNDEFINED, L""},
        {"number beyond 16 bits", kEnglish, 0x10000 + IDS_APP_NAME, L""},
    };
    for (const auto& c : cases) {
        const CResourceStringTable table(nullptr, c.language);
        EXPECT_EQ(table.Load(c.id), c.loaded) << c.what;
        EXPECT_EQ(table.Language(), c.language) << c.what;
    }
}

TEST(ResourceStringTable, ExactLoadNeverTakesAnotherLanguage) {
    EXPECT_EQ(LoadStringInLanguage(nullptr, IDS_TEST_ENGLISH_ONLY, kKorean), std::nullopt);
    EXPECT_EQ(LoadStringInLanguage(nullptr, IDS_TEST_ENGLISH_BLOCK, kKorean), std::nullopt);
    EXPECT_EQ(LoadStringInLanguage(nullptr, IDS_APP_NAME, 0x809), std::nullopt);
    EXPECT_EQ(LoadStringInLanguage(nullptr, IDS_APP_NAME, 0x000), std::nullopt);
    EXPECT_EQ(LoadStringInLanguage(nullptr, IDS_TEST_TRANSLATED, kKorean), L"번역됨");
}

TEST(ResourceStringTable, ReadsTheModuleItIsGiven) {
    // kernel32 has no Tivolan strings; asking it must not find ours.
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(CResourceStringTable(kernel, kEnglish).Load(IDS_START_NOTICE), L"");
    EXPECT_EQ(CResourceStringTable(::GetModuleHandleW(nullptr), kEnglish).Load(IDS_START_NOTICE),
              L"Tivolan is running.");
}

TEST(ResourceStringTable, TellsWhichLanguagesAModuleHas) {
    const struct {
        LANGID language;
        bool present;
    } cases[] = {
        {kEnglish, true}, {kKorean, true}, {kGreek, true}, {0x407, false},
        {0x411, false},   {0x809, false},  {0x812, false}, {0x000, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ModuleHasLanguage(nullptr, c.language), c.present) << std::hex << c.language;
}

}  // namespace
