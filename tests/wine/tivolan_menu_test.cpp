// Tivolan's tray menu (menu 201 of scheduler/res/dialogs.rc) in each language: the commands at the
// positions the tray code relies on, the language submenu with the menu's own language second, and
// access keys that each reach one item.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "scheduler/res/resource.h"
#include "tivolan_resource_support.h"

namespace {

constexpr UINT kSubmenu = 0xFFFFFFFF;  // what GetMenuItemID answers for a submenu
constexpr UINT kSeparator = 0;

struct ExpectedItem {
    UINT id;
    const wchar_t* english;
};

const ExpectedItem kTrayItems[] = {
    {ID_TRAY_OPEN, L"&Open"},
    {ID_TRAY_HOMEPAGE, L"Ho&mepage"},
    {ID_CHECK_UPDATE, L"Check &Update"},
    {kSubmenu, L"Lan&guage"},
    {kSeparator, L""},
    {ID_TRAY_SHUT_DOWN, L"&Shut down"},
    {ID_TRAY_RESTART, L"&Restart"},
    {ID_TRAY_SLEEP, L"Slee&p"},
    {ID_TRAY_HIBERNATE, L"&Hibernate"},
    {ID_TRAY_DISPLAY_OFF, L"&Display Off"},
    {ID_TRAY_SCREEN_SAVER, L"S&creen Saver"},
    {ID_TRAY_LOCK_WINDOWS, L"&Lock Windows"},
    {kSeparator, L""},
    {ID_TRAY_EXIT, L"E&xit"},
};

// The language names read the same in every menu: each in its own language.
const ExpectedItem kLanguageNames[] = {
    {ID_LANG_ENGLISH, L"&English"},
    {ID_LANG_KOREAN, L"\uD55C\uAD6D\uC5B4(&K)"},
    {ID_LANG_GREEK, L"\u0395&\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"},
};

class CLoadedMenu {
  public:
    explicit CLoadedMenu(LANGID language) {
        if (const auto raw = ExactResource(RT_MENU, IDR_TRAY_MENU, language))
            m_menu = LoadMenuIndirectW(static_cast<const MENUTEMPLATEW*>(raw->data));
    }
    ~CLoadedMenu() {
        if (m_menu)
            DestroyMenu(m_menu);
    }
    CLoadedMenu(const CLoadedMenu&) = delete;
    CLoadedMenu& operator=(const CLoadedMenu&) = delete;

    HMENU Tray() const { return m_menu ? GetSubMenu(m_menu, 0) : nullptr; }

  private:
    HMENU m_menu = nullptr;
};

std::wstring ItemText(HMENU menu, int position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

bool IsSeparator(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) && (info.fType & MFT_SEPARATOR);
}

std::vector<UINT> Ids(HMENU menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        ids.push_back(IsSeparator(menu, i) ? kSeparator : GetMenuItemID(menu, i));
    return ids;
}

TEST(TivolanTrayMenu, CommandsStandWhereTheTrayLooksForThem) {
    std::vector<UINT> expected;
    for (const ExpectedItem& item : kTrayItems)
        expected.push_back(item.id);
    for (const LANGID language : kLanguages) {
        const CLoadedMenu menu(language);
        ASSERT_TRUE(menu.Tray()) << LanguageName(language);
        EXPECT_EQ(Ids(menu.Tray()), expected) << LanguageName(language);
        EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu.Tray(), 3)), 4) << LanguageName(language);
        for (int position = 0; position < GetMenuItemCount(menu.Tray()); ++position) {
            if (!IsSeparator(menu.Tray(), position)) {
                EXPECT_FALSE(ItemText(menu.Tray(), position).empty())
                    << LanguageName(language) << " " << position;
            }
        }
    }
}

TEST(TivolanTrayMenu, EnglishTextsAreExact) {
    const CLoadedMenu menu(kEnglish);
    ASSERT_TRUE(menu.Tray());
    for (int position = 0; position < static_cast<int>(std::size(kTrayItems)); ++position)
        EXPECT_EQ(ItemText(menu.Tray(), position), kTrayItems[position].english) << position;
    const HMENU languages = GetSubMenu(menu.Tray(), 3);
    EXPECT_EQ(ItemText(languages, 0), L"&System Default");
}

TEST(TivolanTrayMenu, TheMenusOwnLanguageStandsSecond) {
    struct Order {
        LANGID language;
        std::vector<UINT> ids;
    };
    const Order orders[] = {
        {kEnglish, {ID_LANG_SYSTEM, ID_LANG_ENGLISH, ID_LANG_KOREAN, ID_LANG_GREEK}},
        {kKorean, {ID_LANG_SYSTEM, ID_LANG_KOREAN, ID_LANG_ENGLISH, ID_LANG_GREEK}},
        {kGreek, {ID_LANG_SYSTEM, ID_LANG_GREEK, ID_LANG_ENGLISH, ID_LANG_KOREAN}},
    };
    for (const Order& order : orders) {
        const CLoadedMenu menu(order.language);
        ASSERT_TRUE(menu.Tray());
        const HMENU languages = GetSubMenu(menu.Tray(), 3);
        ASSERT_TRUE(languages) << LanguageName(order.language);
        EXPECT_EQ(Ids(languages), order.ids) << LanguageName(order.language);
        for (const ExpectedItem& name : kLanguageNames) {
            wchar_t text[64] = {};
            GetMenuStringW(languages, name.id, text, 64, MF_BYCOMMAND);
            EXPECT_STREQ(text, name.english) << LanguageName(order.language) << " " << name.id;
        }
        // The radio group the tray checks spans the whole submenu.
        for (const UINT id : order.ids) {
            EXPECT_GE(id, static_cast<UINT>(ID_LANG_SYSTEM));
            EXPECT_LE(id, static_cast<UINT>(ID_LANG_LAST_RADIO));
        }
    }
}

TEST(TivolanTrayMenu, EveryItemHasItsOwnAccessKey) {
    for (const LANGID language : kLanguages) {
        const CLoadedMenu menu(language);
        ASSERT_TRUE(menu.Tray());
        for (const HMENU popup : {menu.Tray(), GetSubMenu(menu.Tray(), 3)}) {
            std::set<wchar_t> keys;
            for (int position = 0; position < GetMenuItemCount(popup); ++position) {
                if (IsSeparator(popup, position))
                    continue;
                const std::wstring text = ItemText(popup, position);
                const wchar_t key = AccessKey(text);
                EXPECT_NE(key, 0) << LanguageName(language) << ": no access key in item " << position;
                EXPECT_TRUE(keys.insert(key).second)
                    << LanguageName(language) << ": access key of item " << position << " is taken";
            }
        }
    }
}

}  // namespace
