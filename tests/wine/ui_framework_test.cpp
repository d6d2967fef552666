// The window framework against Wine's user32: binding, dialogs in a chosen language, the message
// loop's filters and idle handlers, and the tab view's page switching.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/platform/unique_resource.h"
#include "common/ui/app_module.h"
#include "common/ui/dialog.h"
#include "common/ui/message_loop.h"
#include "common/ui/resources.h"
#include "common/ui/tab_view.h"
#include "common/ui/window.h"
#include "tests/wine/ui_test_resources.h"

namespace {

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kKorean = MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN);
constexpr LANGID kGreek = MAKELANGID(LANG_GREEK, SUBLANG_DEFAULT);

class UiFrameworkTest : public ::testing::Test {
  protected:
    void SetUp() override { CAppModule::Instance().Init(nullptr, kEnglish); }
    void TearDown() override { CAppModule::Instance().Term(); }
};

// Records the messages it sees; WM_CREATE may be refused.
class CRecordingWindow : public CWindow {
  public:
    explicit CRecordingWindow(bool refuseCreate = false) : m_refuseCreate(refuseCreate) {}
    ~CRecordingWindow() override { Destroy(); }

    std::vector<UINT> messages;
    bool finalMessageSeen = false;
    HWND hwndDuringCreate = nullptr;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (message == WM_CREATE) {
            hwndDuringCreate = Hwnd();
            return m_refuseCreate ? -1 : 0;
        }
        if (message == WM_APP + 1)
            throw std::runtime_error("handler failed");
        if (message == WM_APP + 2)
            return 42;
        return DefaultProc(message, wParam, lParam);
    }
    void OnFinalMessage() override { finalMessageSeen = true; }

  private:
    bool m_refuseCreate;
};

bool Saw(const std::vector<UINT>& messages, UINT message) {
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}

TEST_F(UiFrameworkTest, WindowIsBoundFromCreationToItsLastMessage) {
    CRecordingWindow window;
    HWND hwnd = window.Create({L"QpUiTestWindow"}, nullptr, L"test", WS_POPUP, 0, RECT{0, 0, 50, 50});
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(window.hwndDuringCreate, hwnd);
    EXPECT_EQ(CWindow::FromHandle(hwnd), &window);
    EXPECT_EQ(::SendMessageW(hwnd, WM_APP + 2, 0, 0), 42);
    // An exception in a handler stops at the window procedure.
    EXPECT_EQ(::SendMessageW(hwnd, WM_APP + 1, 0, 0), 0);

    EXPECT_TRUE(window.Destroy());
    EXPECT_EQ(window.Hwnd(), nullptr);
    EXPECT_TRUE(window.finalMessageSeen);
    EXPECT_TRUE(Saw(window.messages, WM_DESTROY));
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(CWindow::FromHandle(hwnd), nullptr);
}

TEST_F(UiFrameworkTest, RefusedCreationGivesNoWindowAndTheObjectCanTryAgain) {
    CRecordingWindow refusing(true);
    EXPECT_EQ(refusing.Create({L"QpUiTestWindow"}, nullptr, L"", WS_POPUP, 0, RECT{}), nullptr);
    EXPECT_EQ(refusing.Hwnd(), nullptr);
    EXPECT_TRUE(refusing.finalMessageSeen);

    CRecordingWindow accepting;
    EXPECT_NE(accepting.Create({L"QpUiTestWindow"}, nullptr, L"", WS_POPUP, 0, RECT{}), nullptr);
    // A second Create on a live object is refused rather than leaking the first window.
    EXPECT_EQ(accepting.Create({L"QpUiTestWindow"}, nullptr, L"", WS_POPUP, 0, RECT{}), nullptr);
}

TEST_F(UiFrameworkTest, DestroyingTheObjectDestroysItsWindow) {
    HWND hwnd = nullptr;
    {
        CRecordingWindow window;
        hwnd = window.Create({L"QpUiTestWindow"}, nullptr, L"", WS_POPUP, 0, RECT{});
        ASSERT_NE(hwnd, nullptr);
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(UiFrameworkTest, ResourcesComeInTheChosenLanguageWithEnglishThenAnyAsFallback) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    struct Case {
        UINT menu;
        LANGID language;
        const wchar_t* firstItem;
    };
    const Case cases[] = {
        {IDR_UI_TEST_MENU, kEnglish, L"&First"},
        {IDR_UI_TEST_MENU, kKorean, L"첫째(&F)"},
        {IDR_UI_TEST_MENU, kGreek, L"&First"},         // no Greek: English
        {IDR_UI_TEST_KOREAN_ONLY, kEnglish, L"하나"},  // no English either: what there is
    };
    for (const Case& c : cases) {
        HMENU menu = LoadMenuInLanguage(module, c.menu, c.language);
        ASSERT_NE(menu, nullptr) << c.menu << " " << c.language;
        wchar_t text[64] = {};
        ::GetMenuStringW(::GetSubMenu(menu, 0), IDM_UI_TEST_FIRST, text, 64, MF_BYCOMMAND);
        EXPECT_STREQ(text, c.firstItem) << c.menu << " " << c.language;
        ::DestroyMenu(menu);
    }
    EXPECT_EQ(LoadMenuInLanguage(module, 999, kEnglish), nullptr);
    EXPECT_EQ(LoadDialogTemplate(module, 999, kEnglish), nullptr);
}

// Reads its controls at initialisation and ends itself from a timer, so DoModal can be tested
// without a user. Given keys, it types them into its edit box as posted characters.
class CSelfClosingDialog : public CDialog {
  public:
    explicit CSelfClosingDialog(const wchar_t* typing = L"") : CDialog(IDD_UI_TEST), keys(typing) {}

    const std::wstring keys;
    std::wstring caption;
    std::wstring label;
    std::wstring typed;
    bool ctlColorAsked = false;

  protected:
    BOOL OnInitDialog() override {
        caption = GetWindowTextString(Hwnd());
        label = ItemText(IDC_UI_TEST_LABEL);
        ::SetDlgItemTextW(Hwnd(), IDC_UI_TEST_EDIT, keys.empty() ? L"typed" : L"");
        for (const wchar_t c : keys)
            ::PostMessageW(Item(IDC_UI_TEST_EDIT), WM_CHAR, c, 0);
        ::SetTimer(Hwnd(), 1, 10, nullptr);
        return TRUE;
    }
    bool OnCommand(int id, int code, HWND control) override {
        if (id == IDOK)
            typed = ItemText(IDC_UI_TEST_EDIT);
        return CDialog::OnCommand(id, code, control);
    }
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM, LPARAM) override {
        if (message == WM_TIMER) {
            ::KillTimer(Hwnd(), 1);
            ::PostMessageW(Hwnd(), WM_COMMAND, IDOK, 0);
            return 0;
        }
        return std::nullopt;
    }
};

TEST_F(UiFrameworkTest, ModalDialogRunsInTheModuleLanguageAndEndsWithItsResult) {
    struct Case {
        LANGID language;
        const wchar_t* caption;
        const wchar_t* label;
    };
    for (const Case& c : {Case{kEnglish, L"Framework test", L"Label"}, Case{kKorean, L"틀 시험", L"이름"},
                          Case{kGreek, L"Framework test", L"Label"}}) {
        CAppModule::Instance().SetResourceLanguage(c.language);
        CSelfClosingDialog dialog;
        EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
        EXPECT_EQ(dialog.caption, c.caption);
        EXPECT_EQ(dialog.label, c.label);
        EXPECT_EQ(dialog.typed, L"typed");
        EXPECT_EQ(dialog.Hwnd(), nullptr);
    }
}

TEST_F(UiFrameworkTest, DialogWithoutTemplateFailsCleanly) {
    class CMissing : public CDialog {
      public:
        CMissing() : CDialog(999) {}
    } missing;
    EXPECT_EQ(missing.DoModal(nullptr), -1);
    EXPECT_EQ(missing.Create(nullptr), nullptr);
}

TEST_F(UiFrameworkTest, ModelessDialogIsDestroyedWithItsObject) {
    HWND hwnd = nullptr;
    {
        CSelfClosingDialog dialog;
        hwnd = dialog.Create(nullptr);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_FALSE(dialog.IsModal());
        EXPECT_EQ(dialog.caption, L"Framework test");
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

class CCountingFilter : public IWindowMessageFilter {
  public:
    CCountingFilter(UINT swallow, std::vector<int>& order, int name)
        : m_swallow(swallow), m_order(order), m_name(name) {}
    bool PreTranslateMessage(MSG& msg) override {
        m_order.push_back(m_name);
        if (removeOnCall) {
            loop->RemoveMessageFilter(removeOnCall);
        }
        return msg.message == m_swallow;
    }
    IWindowMessageFilter* removeOnCall = nullptr;
    CMessageLoop* loop = nullptr;

  private:
    UINT m_swallow;
    std::vector<int>& m_order;
    int m_name;
};

TEST_F(UiFrameworkTest, FiltersRunNewestFirstAndMaySwallowOrRemoveEachOther) {
    CMessageLoop loop;
    std::vector<int> order;
    CCountingFilter first(WM_APP + 1, order, 1);
    CCountingFilter second(WM_APP + 2, order, 2);
    loop.AddMessageFilter(&first);
    loop.AddMessageFilter(&second);
    loop.AddMessageFilter(&second);  // once only

    MSG msg{};
    msg.message = WM_APP + 1;
    EXPECT_TRUE(loop.PreTranslateMessage(msg));
    EXPECT_EQ(order, (std::vector<int>{2, 1}));

    order.clear();
    msg.message = WM_APP + 2;
    EXPECT_TRUE(loop.PreTranslateMessage(msg));
    EXPECT_EQ(order, (std::vector<int>{2}));

    // A filter that removes the next one (a window closing) keeps it from being called.
    order.clear();
    second.loop = &loop;
    second.removeOnCall = &first;
    msg.message = WM_APP + 3;
    EXPECT_FALSE(loop.PreTranslateMessage(msg));
    EXPECT_EQ(order, (std::vector<int>{2}));
}

// Records the characters offered to it and swallows one of them.
struct CCharacterFilter : IWindowMessageFilter {
    explicit CCharacterFilter(wchar_t swallow) : swallow(swallow) {}
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == WM_CHAR)
            seen.push_back(static_cast<wchar_t>(msg.wParam));
        return msg.message == WM_CHAR && msg.wParam == swallow;
    }
    wchar_t swallow;
    std::wstring seen;
};

TEST_F(UiFrameworkTest, ModalFiltersSeeTheDialogBoxLoopsMessagesNewestFirstWhileTheyLive) {
    {
        CCharacterFilter older(L'a'), newer(L'c');
        CModalMessageFilter first(&older), second(&newer);
        ASSERT_TRUE(first.Installed());
        ASSERT_TRUE(second.Installed());
        CSelfClosingDialog dialog(L"abc");
        EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
        // What a filter handled was neither translated nor dispatched.
        EXPECT_EQ(dialog.typed, L"b");
        EXPECT_EQ(newer.seen, L"abc");
        EXPECT_EQ(older.seen, L"ab");
    }
    // The hook went with the last filter.
    CSelfClosingDialog dialog(L"abc");
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.typed, L"abc");
}

class CQuitWhenIdle : public IIdleHandler {
  public:
    bool OnIdle() override {
        ++calls;
        if (calls == 1)
            ::PostQuitMessage(7);
        return false;
    }
    int calls = 0;
};

TEST_F(UiFrameworkTest, RunCallsIdleHandlersAndReturnsTheQuitCode) {
    CMessageLoop loop;
    CQuitWhenIdle idle;
    loop.AddIdleHandler(&idle);
    EXPECT_EQ(loop.Run(), 7);
    EXPECT_GE(idle.calls, 1);
    loop.RemoveIdleHandler(&idle);
    EXPECT_FALSE(loop.OnIdle());
}

TEST_F(UiFrameworkTest, AWaitForAnObjectDispatchesThroughTheFiltersAndGivesWayToAQuit) {
    CMessageLoop loop;
    std::vector<int> order;
    CCountingFilter swallowing(WM_APP + 1, order, 1);
    loop.AddMessageFilter(&swallowing);
    CRecordingWindow window;
    ASSERT_TRUE(window.Create(WindowClass{L"QpUiFrameworkWait"}, nullptr, L"", WS_POPUP, 0, RECT{}));
    UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);

    // Two posted messages (the first swallowed) and one sent from another thread before the signal.
    ::PostMessageW(window.Hwnd(), WM_APP + 1, 0, 0);
    ::PostMessageW(window.Hwnd(), WM_APP + 2, 0, 0);
    std::thread sender([&] {
        ::Sleep(100);
        ::SendMessageW(window.Hwnd(), WM_APP + 3, 0, 0);
        ::SetEvent(event.Get());
    });
    EXPECT_TRUE(DispatchMessagesUntilSignalled(event.Get(), &loop));
    sender.join();
    EXPECT_FALSE(Saw(window.messages, WM_APP + 1));
    EXPECT_TRUE(Saw(window.messages, WM_APP + 2));
    EXPECT_TRUE(Saw(window.messages, WM_APP + 3));
    EXPECT_EQ(order, (std::vector<int>{1, 1}));

    // A quit ends the wait unsignalled and is posted again for the outer loop.
    ::ResetEvent(event.Get());
    ::PostQuitMessage(9);
    EXPECT_FALSE(DispatchMessagesUntilSignalled(event.Get(), nullptr));
    MSG quit{};
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 9u);
}

TEST(TabViewStepTest, WrapsInBothDirections) {
    struct Case {
        int active, count;
        bool backwards;
        int expected;
    };
    const Case cases[] = {{0, 3, false, 1},  {2, 3, false, 0}, {0, 3, true, 2},  {1, 3, true, 0},
                          {-1, 3, false, 0}, {-1, 3, true, 2}, {0, 1, false, 0}, {0, 0, false, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(CTabView::StepPage(c.active, c.count, c.backwards), c.expected)
            << c.active << "/" << c.count << (c.backwards ? " back" : "");
}

// A plain parent that records the page-activated notifications.
class CTabParent : public CWindow {
  public:
    std::vector<int> activated;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == kTabViewPageActivated)
                activated.push_back(static_cast<int>(header->idFrom));
        }
        return DefaultProc(message, wParam, lParam);
    }
};

void SetKeys(bool control, bool shift) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

TEST_F(UiFrameworkTest, TabViewShowsOnePageAndStepsWithCtrlTab) {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_TAB_CLASSES;
    ::InitCommonControlsEx(&init);
    CTabParent parent;
    ASSERT_NE(parent.Create({L"QpUiTestParent"}, nullptr, L"", WS_OVERLAPPEDWINDOW, 0, RECT{0, 0, 400, 300}),
              nullptr);
    CTabView view;
    ASSERT_NE(view.Create(parent.Hwnd(), RECT{4, 4, 396, 270}, 7), nullptr);
    std::vector<HWND> pages;
    for (int i = 0; i < 3; ++i) {
        pages.push_back(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, view.Hwnd(), nullptr,
                                          nullptr, nullptr));
        EXPECT_EQ(view.AddPage(pages.back(), L"Page " + std::to_wstring(i)), i);
    }
    EXPECT_EQ(view.ActivePage(), -1);
    view.SetActivePage(0);
    view.SetActivePage(0);  // no second notification
    view.SetActivePage(5);  // out of range: nothing
    EXPECT_EQ(parent.activated, (std::vector<int>{0}));

    auto visiblePages = [&] {
        std::vector<int> visible;
        for (int i = 0; i < 3; ++i)
            if (::IsWindowVisible(pages[static_cast<size_t>(i)]))
                visible.push_back(i);
        return visible;
    };
    ::ShowWindow(parent.Hwnd(), SW_SHOW);
    EXPECT_EQ(visiblePages(), (std::vector<int>{0}));

    MSG msg{};
    msg.hwnd = pages[0];
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_TAB;
    SetKeys(false, false);
    EXPECT_FALSE(view.PreTranslateMessage(msg));  // a plain Tab is the dialog's

    SetKeys(true, true);
    EXPECT_TRUE(view.PreTranslateMessage(msg));
    EXPECT_EQ(view.ActivePage(), 2);
    SetKeys(true, false);
    EXPECT_TRUE(view.PreTranslateMessage(msg));
    EXPECT_EQ(view.ActivePage(), 0);
    EXPECT_EQ(visiblePages(), (std::vector<int>{0}));
    EXPECT_EQ(parent.activated, (std::vector<int>{0, 2, 0}));
    EXPECT_EQ(::SendMessageW(view.TabControl(), TCM_GETCURSEL, 0, 0), 0);

    // A key in another top-level window is not the view's.
    CTabParent other;
    ASSERT_NE(other.Create({L"QpUiTestParent"}, nullptr, L"", WS_POPUP, 0, RECT{}), nullptr);
    msg.hwnd = other.Hwnd();
    EXPECT_FALSE(view.PreTranslateMessage(msg));
    SetKeys(false, false);

    // Choosing a tab with the mouse activates its page too.
    ::SendMessageW(view.TabControl(), TCM_SETCURSEL, 1, 0);
    NMHDR header{view.TabControl(), 1, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageW(view.Hwnd(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(view.ActivePage(), 1);
    EXPECT_EQ(visiblePages(), (std::vector<int>{1}));
}

}  // namespace
