// The main window's frame and the tray menu's images against Wine: pages and their titles in the
// module's language, Ctrl+Tab through the message loop's filter, Escape hiding the window, the
// settings written on a page switch, the link line's colour and cursor.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ui/app_module.h"
#include "common/ui/message_loop.h"
#include "scheduler/core/settings_win.h"
#include "scheduler/res/resource.h"
#include "scheduler/ui/main_dlg.h"
#include "scheduler/ui/menu_images.h"
#include "tests/wine/main_window_setup.h"

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kKorean = MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN);

void SetKeys(bool control, bool shift) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

std::wstring TabTitle(HWND tabs, int index) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ::SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

class MainDlgTest : public ::testing::Test {
  protected:
    void SetUp() override { StartMainWindowModule(m_loop, kEnglish); }
    void TearDown() override {
        SetKeys(false, false);
        CAppModule::Instance().Term();
    }

    // Ctrl+Tab (or Ctrl+Shift+Tab) pressed on `target`, offered to the loop's filters.
    bool PressCtrlTab(HWND target, bool shift) {
        SetKeys(true, shift);
        MSG msg{};
        msg.hwnd = target;
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_TAB;
        const bool taken = m_loop.PreTranslateMessage(msg);
        SetKeys(false, false);
        return taken;
    }

    CMessageLoop m_loop;
};

TEST_F(MainDlgTest, CreatedHiddenWithThreePagesInTheirOrder) {
    for (LANGID language : {kEnglish, kKorean}) {
        CAppModule::Instance().SetResourceLanguage(language);
        CMainDlg dialog;
        ASSERT_NE(dialog.Create(nullptr), nullptr);
        EXPECT_FALSE(::IsWindowVisible(dialog.Hwnd()));
        const CTabView& view = dialog.TabView();
        ASSERT_EQ(view.PageCount(), 3);
        EXPECT_EQ(view.ActivePage(), CMainDlg::HomePage);
        const std::vector<std::wstring> expected =
            language == kEnglish ? std::vector<std::wstring>{L"Home", L"Schedule", L"Options"}
                                 : std::vector<std::wstring>{L"홈", L"예약", L"옵션"};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(TabTitle(view.TabControl(), i), expected[static_cast<size_t>(i)]) << i;
        // Each page is its own dialog, with the controls of its resource.
        EXPECT_NE(::GetDlgItem(view.PageWindow(0), IDC_ACTION_LIST), nullptr);
        EXPECT_NE(::GetDlgItem(view.PageWindow(1), IDC_SCHEDULE_LIST), nullptr);
        EXPECT_NE(::GetDlgItem(view.PageWindow(2), IDC_SOUND_LIST), nullptr);
        // The tab view leaves the strip at the bottom to the link line.
        RECT tab{}, link{};
        ::GetWindowRect(view.Hwnd(), &tab);
        ::GetWindowRect(dialog.Item(IDC_ABOUT_LINK), &link);
        EXPECT_LE(tab.bottom, link.top);
    }
}

TEST_F(MainDlgTest, CtrlTabWrapsThroughThePagesAndEscapeHides) {
    CMainDlg dialog;
    ASSERT_NE(dialog.Create(nullptr), nullptr);
    ::ShowWindow(dialog.Hwnd(), SW_SHOW);
    const CTabView& view = dialog.TabView();

    EXPECT_TRUE(PressCtrlTab(view.PageWindow(0), true));
    EXPECT_EQ(view.ActivePage(), CMainDlg::OptionsPage);
    EXPECT_TRUE(PressCtrlTab(view.PageWindow(2), false));
    EXPECT_EQ(view.ActivePage(), CMainDlg::HomePage);
    EXPECT_TRUE(::IsWindowVisible(view.PageWindow(0)));
    EXPECT_FALSE(::IsWindowVisible(view.PageWindow(2)));

    // Escape on a page reaches the main window, which only hides.
    ::SendMessageW(view.PageWindow(0), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(::IsWindowVisible(dialog.Hwnd()));
    EXPECT_TRUE(::IsWindow(dialog.Hwnd()));
    ::ShowWindow(dialog.Hwnd(), SW_SHOW);
    ::SendMessageW(dialog.Hwnd(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(::IsWindowVisible(dialog.Hwnd()));
}

TEST_F(MainDlgTest, PageSwitchWritesTheSettingsWithoutTasks) {
    const wchar_t* key = L"Software\\Tivolan";
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"Hour1");
    CMainDlg dialog;
    ASSERT_NE(dialog.Create(nullptr), nullptr);
    // Nothing is written while the dialog sets itself up.
    DWORD value = 0, size = sizeof(value);
    EXPECT_NE(::RegGetValueW(HKEY_CURRENT_USER, key, L"Hour1", RRF_RT_REG_DWORD, nullptr, &value, &size),
              ERROR_SUCCESS);

    Settings().hour1 = 7;
    EXPECT_TRUE(PressCtrlTab(dialog.TabView().PageWindow(0), false));
    size = sizeof(value);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, key, L"Hour1", RRF_RT_REG_DWORD, nullptr, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 7u);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key);
}

TEST_F(MainDlgTest, LinkLineIsBlueOnNoBackgroundWithTheHandCursor) {
    CMainDlg dialog;
    ASSERT_NE(dialog.Create(nullptr), nullptr);
    HWND link = dialog.Item(IDC_ABOUT_LINK);
    ASSERT_NE(link, nullptr);
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetTextColor(dc, RGB(1, 2, 3));
    const LRESULT brush = ::SendMessageW(dialog.Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 255));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    ::DeleteDC(dc);

    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(::SendMessageW(dialog.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link), HTCLIENT), TRUE);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST(MenuImagesTest, SevenActionImagesDrawnTransparentlyBesideTheirCommands) {
    CMenuImages images;
    ASSERT_TRUE(images.Load(::GetModuleHandleW(nullptr), IDR_MENU_IMAGES, IDB_MENU_IMAGES));
    EXPECT_EQ(images.Count(), 7u);
    for (UINT command = ID_TRAY_ACTION_FIRST; command <= ID_TRAY_ACTION_LAST; ++command)
        EXPECT_EQ(images.ImageIndexOf(command), static_cast<int>(command - ID_TRAY_ACTION_FIRST));
    EXPECT_EQ(images.ImageIndexOf(ID_TRAY_EXIT), -1);

    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, ID_TRAY_SHUT_DOWN, L"Shut down");
    ::AppendMenuW(menu, MF_STRING, ID_TRAY_EXIT, L"Exit");
    images.Apply(menu);
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_BITMAP;
    ::GetMenuItemInfoW(menu, ID_TRAY_SHUT_DOWN, FALSE, &item);
    EXPECT_EQ(item.hbmpItem, HBMMENU_CALLBACK);
    ::GetMenuItemInfoW(menu, ID_TRAY_EXIT, FALSE, &item);
    EXPECT_EQ(item.hbmpItem, nullptr);
    ::DestroyMenu(menu);

    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = ID_TRAY_LOCK_WINDOWS;
    ASSERT_TRUE(images.OnMeasureItem(measure));
    EXPECT_EQ(measure.itemWidth, 16u);
    EXPECT_EQ(measure.itemHeight, 16u);
    measure.CtlType = ODT_BUTTON;
    EXPECT_FALSE(images.OnMeasureItem(measure));

    // Drawn on a light grey item: the image's own colours appear, the magenta key never does.
    constexpr COLORREF kBackground = RGB(212, 208, 200);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP target = ::CreateCompatibleBitmap(screen, 20, 20);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, target);
    RECT all{0, 0, 20, 20};
    HBRUSH grey = ::CreateSolidBrush(kBackground);
    ::FillRect(dc, &all, grey);
    ::DeleteObject(grey);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = ID_TRAY_SHUT_DOWN;
    draw.hDC = dc;
    draw.rcItem = all;
    ASSERT_TRUE(images.OnDrawItem(draw));
    int drawn = 0, magenta = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const COLORREF pixel = ::GetPixel(dc, x, y);
            drawn += pixel != kBackground;
            magenta += pixel == RGB(255, 0, 255);
        }
    EXPECT_GT(drawn, 20);
    EXPECT_EQ(magenta, 0);
    EXPECT_EQ(::GetPixel(dc, 0, 0), kBackground);  // outside the centred 16 x 16 image
    ::SelectObject(dc, old);
    ::DeleteObject(target);
    ::DeleteDC(dc);

    CMenuImages missing;
    EXPECT_FALSE(missing.Load(::GetModuleHandleW(nullptr), 999, IDB_MENU_IMAGES));
    EXPECT_EQ(missing.Count(), 0u);
}

}  // namespace
